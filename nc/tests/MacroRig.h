// A macro core over a machine whose state is fixed, with every note kept as its listed text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "nc/MacroEvaluator.h"
#include "nc/MacroNote.h"
#include "nc/MacroVariables.h"

// Position (1, 2, 3), machine position (11, 12, 13), every modal G code 90, the last F 250, no T yet.
class FixedMachine : public MacroMachineState {
public:
    MacroValue modalG(int) const override { return MacroValue::Of(90.0); }
    Point3 position() const override { return {1.0, 2.0, 3.0}; }
    Point3 machinePosition() const override { return {11.0, 12.0, 13.0}; }
    MacroValue lastWord(char letter) const override {
        return letter == 'F' ? MacroValue::Of(250.0) : MacroValue{};
    }
};

class ListedNotes : public MacroNotes {
public:
    void note(const MacroNote& note) override {
        texts.emplace_back();
        AppendMacroNoteText(note, texts.back());
    }
    std::vector<std::string> texts;
};

struct MacroRig {
    FixedMachine machine;
    ListedNotes notes;
    MacroVariables variables{machine};
    MacroEvaluator evaluator{variables, notes};

    void set(int number, double value) { variables.write(number, MacroValue::Of(value), notes); }
    MacroValue get(int number) { return variables.read(number, notes); }
    MacroError evaluate(std::string_view text, MacroTerm& term) {
        std::size_t at = 0;
        const MacroError error = evaluator.evaluate(text, at, MacroScope::Expression, term);
        return error == MacroError::None && at != text.size() ? MacroError::Syntax : error;
    }
};
