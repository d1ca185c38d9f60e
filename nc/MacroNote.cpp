#include "nc/MacroNote.h"

#include <charconv>

namespace {

void AppendInteger(std::string& out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendNumberAndComment(std::string& out, const MacroNote& note) {
    AppendInteger(out, note.number);
    if (!note.text.empty()) {
        out += " (";
        out += note.text;
        out += ')';
    }
}

}  // namespace

void AppendMacroNoteText(const MacroNote& note, std::string& out) {
    switch (note.kind) {
        case MacroNoteKind::Alarm:
            out += "#3000 アラーム: ";
            AppendNumberAndComment(out, note);
            break;
        case MacroNoteKind::Message:
            out += "#3006 メッセージ: ";
            AppendNumberAndComment(out, note);
            break;
        case MacroNoteKind::SystemRead:
        case MacroNoteKind::SystemWrite:
            out += "システム変数 #";
            AppendInteger(out, note.number);
            out += note.kind == MacroNoteKind::SystemRead ? " (空として実行)" : " (書き込み無視)";
            break;
        case MacroNoteKind::Undefined:
            out += "未定義の変数 #";
            AppendInteger(out, note.number);
            break;
        case MacroNoteKind::Error:
            out += "マクロ演算エラー: ";
            out += note.text;
            break;
        case MacroNoteKind::Bin:
            out += "BIN (引数のまま)";
            break;
        case MacroNoteKind::Bcd:
            out += "BCD (引数のまま)";
            break;
        case MacroNoteKind::StatementWords:
            out += "マクロ文の行のワード";
            break;
    }
}
