#include "store/likematch.h"

#include <cstring>

namespace store {

namespace {
char32_t fold(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c + 32 : c;
}

std::u32string decodeUtf8(const char* s, size_t n) {
    std::u32string out;
    out.reserve(n);
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(s[i]);
        char32_t c;
        int len;
        if (b < 0x80) {
            c = b;
            len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else {
            c = b & 0x07;
            len = 4;
        }
        for (int k = 1; k < len && i + k < n; ++k)
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(c);
        i += len;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// Case-folded search for ASCII letters in the needle; exact bytes otherwise.
bool containsFolded(const char* hay, size_t n, const std::string& needle, bool letters) {
    if (needle.empty()) return true;
    if (!letters) return memmem(hay, n, needle.data(), needle.size()) != nullptr;
    if (needle.size() > n) return false;
    for (size_t i = 0; i + needle.size() <= n; ++i) {
        size_t k = 0;
        while (k < needle.size() && char(fold(static_cast<unsigned char>(hay[i + k]))) == needle[k])
            ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

bool equalFolded(const char* a, size_t n, const std::string& b) {
    if (n != b.size()) return false;
    for (size_t i = 0; i < n; ++i)
        if (char(fold(static_cast<unsigned char>(a[i]))) != b[i]) return false;
    return true;
}
}  // namespace

LikePattern::LikePattern(const QByteArray& utf8Pattern) {
    const std::u32string p = decodeUtf8(utf8Pattern.constData(), size_t(utf8Pattern.size()));
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        Token t;
        t.type = Token::Char;
        if (c == U'*') {
            if (!tokens_.empty() && tokens_.back().type == Token::AnyRun) continue;
            t.type = Token::AnyRun;
        } else if (c == U'?') {
            t.type = Token::AnyOne;
        } else if (c == U'#') {
            t.type = Token::Digit;
        } else if (c == U'[') {
            const size_t close = p.find(U']', i + 1);
            if (close == std::u32string::npos) {
                t.ch = c;  // an unclosed bracket stands for itself
            } else {
                t.type = Token::Set;
                size_t j = i + 1;
                if (j < close && p[j] == U'!') {
                    t.negated = true;
                    ++j;
                }
                for (; j < close; ++j) {
                    if (j + 2 < close && p[j + 1] == U'-') {
                        t.ranges.emplace_back(fold(p[j]), fold(p[j + 2]));
                        j += 2;
                    } else {
                        t.ranges.emplace_back(fold(p[j]), fold(p[j]));
                    }
                }
                // "[*]" and the like are one literal character.
                if (!t.negated && t.ranges.size() == 1 && t.ranges[0].first == t.ranges[0].second) {
                    t.type = Token::Char;
                    t.ch = t.ranges[0].first;
                    t.ranges.clear();
                }
                i = close;
            }
        } else {
            t.ch = fold(c);
        }
        tokens_.push_back(std::move(t));
    }

    // Classify the shapes the search uses so that they run as plain byte searches.
    size_t first = 0, last = tokens_.size();
    const bool lead = first < last && tokens_[first].type == Token::AnyRun;
    if (lead) ++first;
    const bool trail = last > first && tokens_[last - 1].type == Token::AnyRun;
    if (trail) --last;
    bool plain = true;
    for (size_t i = first; i < last; ++i) {
        if (tokens_[i].type != Token::Char) {
            plain = false;
            break;
        }
        appendUtf8(literal_, tokens_[i].ch);
        if (tokens_[i].ch >= U'a' && tokens_[i].ch <= U'z') literalHasLetters_ = true;
    }
    if (!plain) {
        kind_ = Kind::General;
        literal_.clear();
    } else if (lead && trail) {
        kind_ = literal_.empty() ? Kind::Any : Kind::Substring;
    } else if (lead) {
        kind_ = Kind::Suffix;
    } else if (trail) {
        kind_ = Kind::Prefix;
    } else {
        kind_ = Kind::Literal;
    }
}

bool LikePattern::matches(const char* s, size_t n) const {
    switch (kind_) {
        case Kind::Any:
            return true;
        case Kind::Substring:
            return containsFolded(s, n, literal_, literalHasLetters_);
        case Kind::Literal:
            return equalFolded(s, n, literal_);
        case Kind::Prefix:
            return n >= literal_.size() && equalFolded(s, literal_.size(), literal_);
        case Kind::Suffix:
            return n >= literal_.size() &&
                   equalFolded(s + n - literal_.size(), literal_.size(), literal_);
        case Kind::General:
            break;
    }
    return matchGeneral(decodeUtf8(s, n));
}

bool LikePattern::tokenMatches(const Token& t, char32_t c) const {
    switch (t.type) {
        case Token::Char:
            return fold(c) == t.ch;
        case Token::AnyOne:
            return true;
        case Token::Digit:
            return c >= U'0' && c <= U'9';
        case Token::Set: {
            const char32_t f = fold(c);
            bool in = false;
            for (const auto& r : t.ranges)
                if (f >= r.first && f <= r.second) {
                    in = true;
                    break;
                }
            return in != t.negated;
        }
        case Token::AnyRun:
            return true;
    }
    return false;
}

bool LikePattern::matchGeneral(const std::u32string& text) const {
    // Iterative glob matching with backtracking to the last star.
    size_t ti = 0, pi = 0;
    size_t starP = std::string::npos, starT = 0;
    while (ti < text.size()) {
        if (pi < tokens_.size() && tokens_[pi].type == Token::AnyRun) {
            starP = pi++;
            starT = ti;
        } else if (pi < tokens_.size() && tokenMatches(tokens_[pi], text[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < tokens_.size() && tokens_[pi].type == Token::AnyRun) ++pi;
    return pi == tokens_.size();
}

}  // namespace store
