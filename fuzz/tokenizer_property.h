// The tokenizer property, shared by the tokenizer fuzz target and the unit
// suite (which runs it over a fixed seeded corpus): both tokenizers on an
// arbitrary line (NUL bytes, bytes 128 to
// 255, up to 300 characters, a COUNT that may stop short of the text), driven
// by a script of every operation they offer: GETCHR, UNGETCHR, the token
// scanners, UNGETTKN, STOTKNPOSN/RCLTKNPOSN, GETOPCODE on arbitrary texts,
// replaced character sets, GETWORDTKN, INITTKNBUFAT3 and FILLCLASSTABLE.
//
// After every operation:
// - the token text stays inside its TEXTBUF (guard bytes, bounds checks),
//   holds at most 80 characters for a word and two for an operator, is
//   NUL-terminated with ORIGCNT = COUNT, and the return code is one the
//   operation can give;
// - while the state is consistent (not after a restore of a position that
//   does not belong to its line), CURPOSN stays from 1 to COUNT + 1, a token
//   delivered with return code 0 has moved CURPOSN forward, return code 1
//   leaves CURPOSN at the end, and no push-back fails;
// - GETCHR hands out the upper-case character at CURPOSN with its class by
//   the sets (or the class table) in force, and GETOPCODE gives the code of
//   the operator table worked out here;
// - TKNBUF is the line given, or the copy restored;
// - every console line is one of the tokenizers' messages.
// Finally the line is scanned as the evaluator scans it: GETTKNREAL until a
// nonzero return code, in at most COUNT + 1 calls (no line is scanned twice).
//
// The whole script runs twice, once with GETTKNREAL and once with
// general::GETTKNREAL (no one-pass shortcut), and everything seen after every
// step (token text, results, positions, stop record, console) must agree.
#pragma once

#include "tokenizer_faces.h"

#include "runtime/console.h"

#include <cmath>
#include <string>
#include <string_view>

namespace fuzzprop::tokenizer {

using fuzzcheck::require;
using text::TEXTBUF;
using token::TOKENKIND;

template <typename Face> struct Run {
    using Value = typename Face::Value;
    TEXTBUF line{};
    TEXTBUF expectTkn{}; // what TKNBUF must hold
    bool tknKnown = true;
    TEXTBUF held{};
    bool heldKnown = false;
    bool consistent = true;
    bool defaultClasses = true; // the table's classes (or the first module's sets) are the defaults
    token::CharSet delims = setOf(std::string_view("\0 ,;", 4));
    token::CharSet ops = setOf("#*+-/<=>^");
    token::CharSet digits = setOf("0123456789");
    bool echoesLineEnds = false;
    fuzzcheck::Guarded<TEXTBUF> tkn;
    // Everything seen after each step, for the comparison of the two runs.
    std::string trace;

    template <typename T> void note(const T& x) {
        trace.append(reinterpret_cast<const char*>(&x), sizeof x);
    }
    void noteResults(TOKENKIND kind, Value value, double real, std::uint32_t rc) {
        note(kind);
        note(value);
        note(real);
        note(rc);
    }

    TOKENKIND classOf(unsigned char c) const {
        if (Face::kTable) {
            if (c > 127) return TOKENKIND::WORD;
            if (c == 0 || c == ' ' || c == ',' || c == ';') return TOKENKIND::DELIMITER;
            if (std::string_view("#*+-/<=>").find(static_cast<char>(c)) != std::string_view::npos)
                return TOKENKIND::OPERATOR;
            if (c >= '0' && c <= '9') return TOKENKIND::NUMBER;
            return TOKENKIND::WORD;
        }
        if (member(delims, c)) return TOKENKIND::DELIMITER;
        if (member(ops, c)) return TOKENKIND::OPERATOR;
        if (member(digits, c)) return TOKENKIND::NUMBER;
        return TOKENKIND::WORD;
    }

    std::uint32_t count() const { return Face::tknbuf().COUNT; }

    // Checks the state after a step; returns what the step wrote.
    std::string settle(std::string_view what) {
        tkn.check(what);
        const TEXTBUF& now = Face::tknbuf();
        if (tknKnown) {
            require(now.CHARS == expectTkn.CHARS && now.COUNT == expectTkn.COUNT, "TKNBUF changed",
                    what);
        }
        if (consistent) {
            std::uint32_t p = Face::curposn();
            require(p >= 1 && p <= now.COUNT + 1, "CURPOSN out of 1..COUNT + 1", std::string(what));
        }
        std::string out = runtime::conTakeOutput();
        if (!echoesLineEnds) checkMessages(out);
        note(tkn.value.CHARS);
        note(tkn.value.COUNT);
        note(tkn.value.ORIGCNT);
        note(Face::curposn());
        note(Face::prevposn());
        note(Face::stopchr());
        note(Face::stopkind());
        trace += out;
        return out;
    }

    void afterInit(std::string_view what, std::uint32_t start) {
        expectTkn = line;
        tknKnown = true;
        defaultClasses = true;
        std::uint32_t p = Face::curposn();
        if (start == 1 || line.COUNT >= 2)
            require(p == start, "the first position of a line", what);
        consistent = p >= 1 && p <= line.COUNT + 1;
    }

    void checkToken(std::string_view what, TOKENKIND kind, std::uint32_t rc, std::uint32_t before,
                    std::initializer_list<std::uint32_t> codes, bool scanner) {
        const TEXTBUF& t = tkn.value;
        require(t.COUNT <= kCap, "token COUNT past the capacity", what);
        bool known = false;
        for (std::uint32_t c : codes) known = known || c == rc;
        require(known, "a return code the operation does not give",
                std::string(what) + " rc " + fuzzcheck::decimal(std::uint64_t{rc}));
        if (scanner) {
            require(t.ORIGCNT == t.COUNT, "ORIGCNT = COUNT after a scan", what);
            if (t.COUNT < kCap) require(t.CHARS[t.COUNT] == '\0', "a NUL behind the token", what);
            if (kind == TOKENKIND::WORD)
                require(t.COUNT <= 80, "a word of more than 80 characters", what);
            if (kind == TOKENKIND::OPERATOR)
                require(t.COUNT >= 1 && t.COUNT <= 2, "an operator of one or two characters", what);
        }
        if (!consistent) return;
        require(rc != 4, "a push back failed in a consistent state", what);
        std::uint32_t after = Face::curposn();
        if (rc == 0) require(after > before, "a token delivered without moving past it", what);
        if (rc == 1) require(after == count() + 1, "end of line reported before the end", what);
    }

    void step(fuzzcheck::Script& fdp) {
        const int op = fdp.ConsumeIntegralInRange<int>(0, 15);
        const std::string what =
            "op " + fuzzcheck::decimal(std::int64_t{op}) + (Face::kTable ? " (table)" : "");
        const std::uint32_t before = Face::curposn();
        TOKENKIND kind = TOKENKIND::DELIMITER;
        Value value = 0;
        std::uint32_t rc = 0;
        double real = 0;
        switch (op) {
        case 0:
        case 1:
        case 2: { // GETCHR, the most common step
            char ch = 'x';
            std::uint32_t eol = 7;
            Face::getchr(ch, kind, eol);
            if (!consistent) break;
            const TEXTBUF& b = Face::tknbuf();
            if (before > b.COUNT) {
                require(eol == 1 && ch == '\0' && kind == TOKENKIND::DELIMITER, "GETCHR at the end",
                        what);
                require(Face::curposn() == before, "GETCHR at the end stays", what);
            } else {
                auto c = upper(static_cast<unsigned char>(b.CHARS[before - 1]));
                require(eol == 0 && static_cast<unsigned char>(ch) == c,
                        "GETCHR hands out the upper-case character", what);
                if (defaultClasses || !Face::kTable)
                    require(kind == classOf(c), "GETCHR class", what);
                require(Face::curposn() == before + 1, "GETCHR moves on by one", what);
            }
            break;
        }
        case 3: {
            std::uint32_t fail = 7;
            Face::ungetchr(fail);
            if (!consistent) break;
            bool can = before >= 2 && before <= count() + 1;
            require(fail == (can ? 0u : 1u), "UNGETCHR refuses exactly outside 2..COUNT + 1", what);
            require(Face::curposn() == (can ? before - 1 : before), "UNGETCHR steps back by one",
                    what);
            break;
        }
        case 4:
            Face::gettkn(tkn.value, kind, value, rc);
            checkToken(what, kind, rc, before, {0, 1, 2, 3, 4, 6}, true);
            if (Face::kTable) defaultClasses = true;
            break;
        case 5:
        case 6: {
            Face::gettknreal(tkn.value, kind, value, real, rc);
            checkToken(what, kind, rc, before, {0, 1, 2, 4, 6, 7}, true);
            if (kind == TOKENKIND::NUMBER) {
                require(rc == 0 || rc == 7, "a number from GETTKNREAL has return code 0 or 7",
                        what);
                if (rc == 0) require(std::isfinite(real), "a number read ok is finite", what);
            }
            if (Face::kTable) defaultClasses = true;
            break;
        }
        case 7: {
            std::uint32_t fail = 7;
            Face::ungettkn(fail);
            break;
        }
        case 8:
            Face::sto();
            held = Face::tknbuf();
            heldKnown = tknKnown;
            break;
        case 9: {
            const bool saved = heldKnown;
            Face::rcl();
            if (saved) {
                expectTkn = held;
            }
            tknKnown = saved;
            const std::uint32_t p = Face::curposn();
            consistent = p >= 1 && p <= Face::tknbuf().COUNT + 1;
            echoesLineEnds = echoesLineEnds || Face::tknbuf().CHARS != line.CHARS;
            break;
        }
        case 10: { // GETOPCODE on an arbitrary text of up to three characters
            TEXTBUF& t = tkn.value;
            std::string s = fdp.ConsumeBytesAsString(3);
            t = TEXTBUF{};
            for (std::size_t i = 0; i < s.size(); ++i) t.CHARS[i] = s[i];
            t.COUNT = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 3);
            const TEXTBUF given = t;
            std::uint32_t code = 99;
            std::uint32_t fail = 99;
            Face::getopcode(t, code, fail);
            OpResult want = modelOpcode(given, Face::kTable);
            require(code == want.code && fail == want.fail, "GETOPCODE code and failure flag",
                    what + " [" + s + "] COUNT " + fuzzcheck::decimal(std::uint64_t{given.COUNT}));
            require(t.COUNT == (want.split ? 1u : given.COUNT),
                    "GETOPCODE cuts a pair to its first character", what);
            break;
        }
        case 11:
            Face::getrestofln(tkn.value, rc);
            checkToken(what, TOKENKIND::WORD, rc, before, {0, 1}, false);
            break;
        case 12: { // start again, at position 1 or (table) at 3
            if (Face::kTable && fdp.ConsumeBool()) {
                Face::initAt3(line);
                afterInit(what, 3);
            } else {
                Face::init(line);
                afterInit(what, 1);
            }
            break;
        }
        case 13:
            if constexpr (Face::kTable) {
                token::table::GETWORDTKN(tkn.value, value, rc);
                checkToken(what, TOKENKIND::WORD, rc, before, {0, 1, 2, 4}, true);
                require(tkn.value.COUNT <= 80, "a word-mode token of more than 80 characters",
                        what);
                defaultClasses = false;
            } else {
                Face::gettkn(tkn.value, kind, value, rc);
                checkToken(what, kind, rc, before, {0, 1, 2, 3, 4, 6}, true);
            }
            break;
        case 14:
            if constexpr (Face::kTable) {
                token::table::FILLCLASSTABLE();
                defaultClasses = true;
            } else { // GETTKNTODELIM
                token::GETTKNTODELIM(tkn.value, value, rc);
                checkToken(what, TOKENKIND::DELIMITER, rc, before, {0, 1, 2, 3, 4, 6}, true);
            }
            break;
        default:
            if constexpr (!Face::kTable) { // a replaced character set
                token::CharSet set{};
                for (auto& b : set) b = fdp.ConsumeIntegral<std::uint8_t>();
                switch (fdp.ConsumeIntegralInRange<int>(0, 2)) {
                case 0:
                    token::SETDELIMSET(set);
                    delims = set;
                    break;
                case 1:
                    token::SETOPCHRSET(set);
                    ops = set;
                    break;
                default:
                    token::SETDIGITSET(set);
                    digits = set;
                    break;
                }
                defaultClasses = false;
            }
            break;
        }
        noteResults(kind, value, real, rc);
        settle(what);
    }

    // The line as the evaluator scans it: GETTKNREAL until a nonzero return
    // code, each token moving on, in at most COUNT + 1 calls.
    void scanLikeTheEvaluator() {
        Face::init(line);
        afterInit("evaluator scan", 1);
        std::uint32_t calls = 0;
        for (;;) {
            const std::uint32_t before = Face::curposn();
            TOKENKIND kind = TOKENKIND::DELIMITER;
            Value value = 0;
            double real = 0;
            std::uint32_t rc = 0;
            Face::gettknreal(tkn.value, kind, value, real, rc);
            ++calls;
            noteResults(kind, value, real, rc);
            checkToken("evaluator scan", kind, rc, before, {0, 1, 2, 4, 6, 7}, true);
            const std::string out = settle("evaluator scan");
            // From the start of a line the only message is the overlong word's.
            std::size_t at = 0;
            while (!echoesLineEnds && at < out.size()) {
                require(out.compare(at, kWordTooLong.size(), kWordTooLong) == 0,
                        "the evaluator's scan writes only the overlong word's message", out);
                at = out.find("\r\n", at);
                at = at == std::string::npos ? out.size() : at + 2;
            }
            if (rc != 0) break;
            require(calls <= line.COUNT + 1,
                    "the line is scanned again: more tokens than characters");
        }
    }
};

template <typename Face> std::string runOne(fuzzcheck::Script& fdp, const std::string& text) {
    Run<Face> run;
    // The line: up to 256 of the bytes in CHARS, NUL-terminated when shorter,
    // junk behind the NUL on request, and a COUNT that may stop short.
    const std::size_t n = std::min<std::size_t>(text.size(), kCap);
    for (std::size_t i = 0; i < n; ++i) run.line.CHARS[i] = text[i];
    if (fdp.ConsumeBool()) {
        for (std::size_t i = n + 1; i < kCap; ++i)
            run.line.CHARS[i] = static_cast<char>('a' + i % 26);
    }
    run.line.COUNT = static_cast<std::uint32_t>(n);
    if (fdp.ConsumeBool())
        run.line.COUNT =
            fdp.ConsumeIntegralInRange<std::uint32_t>(0, static_cast<std::uint32_t>(n));
    run.line.ORIGCNT = fdp.ConsumeIntegral<std::uint32_t>();
    run.echoesLineEnds = text.find('\n') != std::string::npos;
    // The messages echo TKNBUF up to its first NUL, whatever COUNT says.
    for (std::size_t i = 0; i < kCap; ++i) {
        if (run.line.CHARS[i] == '\0') break;
        if (run.line.CHARS[i] == '\n') run.echoesLineEnds = true;
    }
    if (Face::kTable && fdp.ConsumeBool()) {
        Face::initAt3(run.line);
        run.afterInit("INITTKNBUFAT3", 3);
    } else {
        Face::init(run.line);
        run.afterInit("INITTKNBUF", 1);
    }
    run.settle("start");
    for (int i = 0; i < 300 && fdp.remaining_bytes() > 0; ++i) run.step(fdp);
    run.scanLikeTheEvaluator();
    return run.trace;
}

// One run of the script from a fresh start of both modules.
inline std::string runScript(const std::uint8_t* data, std::size_t size) {
    fuzzcheck::freshStart();
    fuzzcheck::Script fdp(data, size);
    // The line comes first, so that a plain line of text is a seed as it is.
    std::string text = fdp.ConsumeRandomLengthString(300);
    if (fdp.ConsumeBool()) return runOne<Table>(fdp, text);
    return runOne<First>(fdp, text);
}

// The whole property on one input: the script once with GETTKNREAL and once
// with general::GETTKNREAL, each checked, and the two seeing the same.
inline void check(const std::uint8_t* data, std::size_t size) {
    useGeneral = false;
    const std::string quick = runScript(data, size);
    useGeneral = true;
    const std::string general = runScript(data, size);
    useGeneral = false;
    require(quick == general, "GETTKNREAL and its general way see different things");
}

} // namespace fuzzprop::tokenizer
