// What the macro core met that the run lists under the codes it did not draw. A note is a small value; the
// caller turns it into the listed text, once per occurrence.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class MacroNoteKind : std::uint8_t {
    Alarm,           // "#3000 アラーム: N (text)": the run stops drawing at the block
    Message,         // "#3006 メッセージ: N (text)": the run goes on
    SystemRead,      // "システム変数 #n (空として実行)"
    SystemWrite,     // "システム変数 #n (書き込み無視)"
    Undefined,       // "未定義の変数 #n"
    Error,           // "マクロ演算エラー: <block>": the run stops drawing at the block
    Bin,             // "BIN (引数のまま)"
    Bcd,             // "BCD (引数のまま)"
    StatementWords,  // "マクロ文の行のワード": words on a statement line, not read
};

struct MacroNote {
    MacroNoteKind kind;
    std::int64_t number;    // the variable number, or the number written to #3000 or #3006
    std::string_view text;  // the comment of #3000 or #3006, or the block of an error; a view into the line
};

// Where notes go as they are met. `note.text` lives only as long as the call.
class MacroNotes {
public:
    virtual void note(const MacroNote& note) = 0;

protected:
    ~MacroNotes() = default;
};

// Appends the listed text of `note` to `out`, which the caller clears and reuses.
void AppendMacroNoteText(const MacroNote& note, std::string& out);
