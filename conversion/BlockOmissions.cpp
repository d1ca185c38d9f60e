#include "conversion/BlockOmissions.h"

std::string_view OmissionName(Omission omission) {
    switch (omission) {
        case Omission::InchUnits:
            return "G20 インチ → mm に換算";
        case Omission::MachineCoordinates:
            return "G53 機械座標 (オフセット0として作図)";
        case Omission::ReferenceReturn:
            return "G28/G30 原点復帰 (オフセット0として作図)";
        case Omission::UnequalScaleArc:
            return "G51 不等倍率の円弧";
        case Omission::ScaleFactorZero:
            return "G51 倍率0";
        case Omission::OffsetNumberOutOfRange:
            return "G10/G54.1 P範囲外";
        case Omission::MacroVariable:
            return "# マクロ変数";
        case Omission::RArcStartIsEnd:
            return "R 始点=終点";
        case Omission::RArcRadiusTooShort:
            return "R 半径不足";
        case Omission::TextAfterUnreadChar:
            return "読めない文字より後";
        case Omission::CycleWithoutZ:
            return "固定サイクル Z無し";
        case Omission::RepeatCountOver9999:
            return "K 9999超";
        case Omission::NegativeRepeatCount:
            return "K 負の値";
        case Omission::NumberOutOfRange:
            return "範囲外の数値";
        case Omission::OWordControl:
            return "Oワード制御 (LinuxCNC)";
        case Omission::PolarWord:
            return "@ ^ 極座標 (LinuxCNC)";
        case Omission::NamedParameter:
            return "名前付き変数 (LinuxCNC)";
        case Omission::Count:
            break;
    }
    return "?";
}

void NoteOmissions(const OmissionList& omissions, std::int64_t fileLine, UndrawnCodes& undrawn) {
    for (const Omission omission : omissions) {
        undrawn.note(OmissionName(omission), fileLine);
    }
}
