// The two tokenizer modules behind one face for the tokenizer property
// (tokenizer_property.h), and the models it checks them against: the class
// of a character, the operator table, the messages.
#pragma once

#include "fuzzcheck.h"

#include "text/textbuf.h"
#include "token/table_tokenizer_testing.h"
#include "token/tokenizer_testing.h"

#include <string>
#include <string_view>

namespace fuzzprop::tokenizer {

using fuzzcheck::require;
using text::TEXTBUF;
using token::TOKENKIND;

using fuzzcheck::require;
using text::TEXTBUF;
using token::TOKENKIND;

inline constexpr std::uint32_t kCap = 256;
static_assert(kCap == text::kTextCap, "the model's capacity is the TEXTBUF's");

// Which GETTKNREAL the script calls: the module's own or the general way.
inline bool useGeneral = false;

// The operations of one tokenizer module, under one name for the script.
struct First {
    using Value = std::int64_t;
    static constexpr bool kTable = false;
    static void init(const TEXTBUF& l) { token::INITTKNBUF(l); }
    static void initAt3(const TEXTBUF& l) { token::INITTKNBUF(l); }
    static void getchr(char& c, TOKENKIND& k, std::uint32_t& e) { token::GETCHR(c, k, e); }
    static void ungetchr(std::uint32_t& f) { token::UNGETCHR(f); }
    static void sto() { token::STOTKNPOSN(); }
    static void rcl() { token::RCLTKNPOSN(); }
    static void gettkn(TEXTBUF& t, TOKENKIND& k, Value& v, std::uint32_t& rc) {
        token::GETTKN(t, k, v, rc);
    }
    static void gettknreal(TEXTBUF& t, TOKENKIND& k, Value& v, double& r, std::uint32_t& rc) {
        if (useGeneral) {
            token::general::GETTKNREAL(t, k, v, r, rc);
        } else {
            token::GETTKNREAL(t, k, v, r, rc);
        }
    }
    static void ungettkn(std::uint32_t& f) { token::UNGETTKN(f); }
    static void getopcode(TEXTBUF& t, std::uint32_t& c, std::uint32_t& f) {
        token::GETOPCODE(t, c, f);
    }
    static void getrestofln(TEXTBUF& t, std::uint32_t& rc) { token::GETRESTOFLN(t, rc); }
    static std::uint32_t curposn() { return token::CURPOSN(); }
    static const TEXTBUF& tknbuf() { return token::TKNBUF(); }
    static std::uint32_t prevposn() { return token::PREVPOSN(); }
    static char stopchr() { return token::STOPCHR; }
    static TOKENKIND stopkind() { return token::STOPKIND; }
};

struct Table {
    using Value = std::int32_t;
    static constexpr bool kTable = true;
    static void init(const TEXTBUF& l) { token::table::INITTKNBUF(l); }
    static void initAt3(const TEXTBUF& l) { token::table::INITTKNBUFAT3(l); }
    static void getchr(char& c, TOKENKIND& k, std::uint32_t& e) { token::table::GETCHR(c, k, e); }
    static void ungetchr(std::uint32_t& f) { token::table::UNGETCHR(f); }
    static void sto() { token::table::STOTKNPOSN(); }
    static void rcl() { token::table::RCLTKNPOSN(); }
    static void gettkn(TEXTBUF& t, TOKENKIND& k, Value& v, std::uint32_t& rc) {
        token::table::GETTKN(t, k, v, rc);
    }
    static void gettknreal(TEXTBUF& t, TOKENKIND& k, Value& v, double& r, std::uint32_t& rc) {
        if (useGeneral) {
            token::table::general::GETTKNREAL(t, k, v, r, rc);
        } else {
            token::table::GETTKNREAL(t, k, v, r, rc);
        }
    }
    static std::uint32_t prevposn() { return token::table::PREVPOSN(); }
    static char stopchr() { return token::table::STOPCHR; }
    static TOKENKIND stopkind() { return token::table::STOPKIND; }
    static void ungettkn(std::uint32_t& f) { token::table::UNGETTKN(f); }
    static void getopcode(TEXTBUF& t, std::uint32_t& c, std::uint32_t& f) {
        token::table::GETOPCODE(t, c, f);
    }
    static void getrestofln(TEXTBUF& t, std::uint32_t& rc) { token::table::GETRESTOFLN(t, rc); }
    static std::uint32_t curposn() { return token::table::CURPOSN(); }
    static const TEXTBUF& tknbuf() { return token::table::TKNBUF(); }
};

inline bool member(const token::CharSet& set, unsigned char c) {
    return ((set[c / 8u] >> (c % 8u)) & 1u) != 0;
}

inline token::CharSet setOf(std::string_view chars) {
    token::CharSet s{};
    for (char ch : chars) {
        auto c = static_cast<unsigned char>(ch);
        s[c / 8u] = static_cast<std::uint8_t>(s[c / 8u] | (1u << (c % 8u)));
    }
    return s;
}

inline unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// The operator table as the two modules define it; code 0 with fail 1 for a
// text that is no operator. split: the pair is cut to its first character.
struct OpResult {
    std::uint32_t code = 0;
    std::uint32_t fail = 0;
    bool split = false;
};

inline OpResult modelOpcode(const TEXTBUF& t, bool table) {
    OpResult r;
    if (t.COUNT != 1 && t.COUNT != 2) {
        r.fail = 1;
        return r;
    }
    switch (t.CHARS[0]) {
    case '<':
        r.code = 1;
        break;
    case '>':
        r.code = 3;
        break;
    case '=':
        r.code = 5;
        break;
    case '+':
        r.code = 8;
        break;
    case '-':
        r.code = 10;
        break;
    case '#':
        r.code = 7;
        break;
    case '*':
        r.code = 12;
        break;
    case '/':
        r.code = 14;
        break;
    case '^':
        if (!table) {
            r.code = 16;
            break;
        }
        [[fallthrough]];
    default:
        r.fail = 1;
        return r;
    }
    if (t.COUNT == 1) return r;
    char a = t.CHARS[0];
    char b = t.CHARS[1];
    if (b == '=' && a != '=' && a != '#') {
        ++r.code;
    } else if (a == '<' && b == '>') {
        r.code = 6;
    } else if (!table && a == '>' && b == '<') {
        r.code = 20;
    } else if (!table && a == '*' && b == '*') {
        r.code = 18;
    } else {
        r.split = true;
    }
    return r;
}

inline constexpr std::string_view kWordTooLong = "PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: ";

inline constexpr std::string_view kMessages[] = {
    " *ERROR*  Cannot UNGETCHR because CURPOSN is out of range.  It is ",
    " BEGINNING OF TKNBUF: ",
    " *ERROR*  In STOTKNPOSN and CURPOSN out of range.  It is ",
    " Beginning of TKNBUF is : ",
    "*ERROR* In RCLTKNPOSN and HOLDCURPOSN out of range.  It is ",
    kWordTooLong,
    " In GETOPCODE and UNGETCHR failed.",
    "*Warning*  In GETTKNREAL and UNGETTKN failed.",
    " *ERROR*  Cannot UNGETTKN because CURPOSN is too small or ",
    "  there is no last token to UNGET.  CURPOSN = ",
};

// Every line the tokenizers write is one of their messages. Checked only
// when no text they echo can hold a line end of its own.
inline void checkMessages(const std::string& out) {
    std::size_t at = 0;
    while (at < out.size()) {
        std::size_t end = out.find("\r\n", at);
        require(end != std::string::npos, "a message ends with a line end", out);
        std::string_view line(out.data() + at, end - at);
        bool known = false;
        for (std::string_view m : kMessages) known = known || line.substr(0, m.size()) == m;
        require(known, "a console line that is no tokenizer message", std::string(line));
        at = end + 2;
    }
}

} // namespace fuzzprop::tokenizer
