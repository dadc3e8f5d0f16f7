// The `like` matcher of the word search, against a plain reference matcher written here from
// the rules: * any run, ? one character, # one digit, [..] a list or range, [!..] a negated
// list, an unclosed [ itself; letters A-Z without regard to case. Input: pattern, a zero
// byte, text (without a zero byte the input is both).
#include "fuzz/fuzzsupport.h"
#include "store/likematch.h"

#include <QString>

#include <map>
#include <vector>

namespace {

char32_t fold(char32_t c) {
    return (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
}

struct Item {
    enum Kind { Star, One, Digit, Set, Literal } kind = Literal;
    char32_t ch = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
};

std::vector<Item> parse(const std::u32string& p) {
    std::vector<Item> items;
    for (size_t i = 0; i < p.size(); ++i) {
        Item it;
        if (p[i] == U'*') {
            it.kind = Item::Star;
        } else if (p[i] == U'?') {
            it.kind = Item::One;
        } else if (p[i] == U'#') {
            it.kind = Item::Digit;
        } else if (p[i] == U'[' && p.find(U']', i + 1) != std::u32string::npos) {
            const size_t close = p.find(U']', i + 1);
            it.kind = Item::Set;
            size_t j = i + 1;
            if (j < close && p[j] == U'!') it.negated = true, ++j;
            while (j < close) {
                const bool range = j + 2 < close && p[j + 1] == U'-';
                it.ranges.push_back({p[j], range ? p[j + 2] : p[j]});
                j += range ? 3 : 1;
            }
            i = close;
        } else {
            it.ch = p[i];
        }
        items.push_back(it);
    }
    return items;
}

bool one(const Item& it, char32_t c) {
    switch (it.kind) {
        case Item::One:
            return true;
        case Item::Digit:
            return c >= U'0' && c <= U'9';
        case Item::Literal:
            return fold(c) == fold(it.ch);
        case Item::Set: {
            bool in = false;
            for (const auto& [lo, hi] : it.ranges)
                in = in || (fold(c) >= fold(lo) && fold(c) <= fold(hi));
            return in != it.negated;
        }
        case Item::Star:
            break;
    }
    return false;
}

// Whether items from `pi` match text from `ti`: the definition, with a memo.
bool match(const std::vector<Item>& items, const std::u32string& text, size_t pi, size_t ti,
           std::map<std::pair<size_t, size_t>, bool>& memo) {
    const auto key = std::make_pair(pi, ti);
    if (const auto found = memo.find(key); found != memo.end()) return found->second;
    bool r;
    if (pi == items.size())
        r = ti == text.size();
    else if (items[pi].kind == Item::Star)
        r = match(items, text, pi + 1, ti, memo) ||
            (ti < text.size() && match(items, text, pi, ti + 1, memo));
    else
        r = ti < text.size() && one(items[pi], text[ti]) &&
            match(items, text, pi + 1, ti + 1, memo);
    memo[key] = r;
    return r;
}

std::u32string codePoints(const QString& s) {
    std::u32string out;
    for (const char32_t c : s.toUcs4()) out.push_back(c);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 400) return 0;
    const QByteArray all(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype zero = all.indexOf('\0');
    const QByteArray pattern = zero < 0 ? all : all.left(zero);
    const QByteArray text = zero < 0 ? all : all.mid(zero + 1);
    const store::LikePattern like(pattern);
    const bool got = like.matches(text.constData(), size_t(text.size()));
    // The reference reads well-formed UTF-8 only.
    const QString p = QString::fromUtf8(pattern), t = QString::fromUtf8(text);
    if (p.toUtf8() != pattern || t.toUtf8() != text) return 0;
    std::map<std::pair<size_t, size_t>, bool> memo;
    const bool want = match(parse(codePoints(p)), codePoints(t), 0, 0, memo);
    fuzz::check(got == want, "the matcher agrees with the reference");
    return 0;
}
