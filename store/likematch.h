#pragma once
// The engine's `like` wildcards: * any run, ? one character, # one digit, [..] a list or
// range of characters, [!..] a negated list. Letters A-Z compare without regard to case.
#include <QByteArray>
#include <string>
#include <vector>

namespace store {

class LikePattern {
  public:
    explicit LikePattern(const QByteArray& utf8Pattern);
    bool matches(const char* utf8, size_t length) const;

  private:
    enum class Kind { Any, Literal, Substring, Prefix, Suffix, General };
    struct Token {
        enum Type { Char, AnyRun, AnyOne, Digit, Set } type = Char;
        char32_t ch = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
    };
    bool matchGeneral(const std::u32string& text) const;
    bool tokenMatches(const Token& t, char32_t c) const;

    Kind kind_ = Kind::General;
    std::string literal_;  // folded UTF-8 literal for the fast kinds
    bool literalHasLetters_ = false;
    std::vector<Token> tokens_;
};

}  // namespace store
