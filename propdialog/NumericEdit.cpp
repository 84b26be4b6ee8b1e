#include "NumericEdit.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

NumericReading ReadNumericText(const std::string& text, int minValue, int maxValue) {
    if (text.empty())
        return {NumericVerdict::Empty, 0 < minValue ? minValue : 0};
    if (text.size() >= 11)
        return {NumericVerdict::TooLong, 0};
    // Read wide, then taken to the nearest 32-bit limit, as strtol does with a 32-bit long.
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long number = std::strtoll(begin, &end, 10);
    if (end == begin || *end != '\0')
        return {NumericVerdict::NotNumber, 0};
    if (number > INT_MAX)
        number = INT_MAX;
    if (number < INT_MIN)
        number = INT_MIN;
    const int n = static_cast<int>(number);
    if (n < minValue || n > maxValue)
        return {NumericVerdict::OutOfRange, n};
    return {NumericVerdict::Accepted, n};
}

std::string RangeMessage(int minValue, int maxValue) {
    char text[128];
    std::snprintf(text, sizeof(text), "%d～%dの範囲で値を入力してください", minValue, maxValue);
    return text;
}

TNumericEdit::TNumericEdit(forms::Edit& control) : edit(control) {
    edit.onChange = [this] { Change(); };
    edit.SetText("0");
}

void TNumericEdit::SetValue(int v) {
    if (v < minValue || v > maxValue)
        return;
    value = v;
    edit.SetText(std::to_string(v));
}

void TNumericEdit::SetMinValue(int v) {
    if (v > maxValue)
        return;
    minValue = v;
    if (v >= value)
        SetValue(v);
}

void TNumericEdit::SetMaxValue(int v) {
    if (v < minValue)
        return;
    maxValue = v;
    if (value >= v)
        SetValue(v);
}

void TNumericEdit::Change() {
    const NumericReading reading = ReadNumericText(edit.Text(), minValue, maxValue);
    switch (reading.verdict) {
    case NumericVerdict::Empty:
        value = reading.value;
        return;
    case NumericVerdict::TooLong:
    case NumericVerdict::NotNumber:
        UndoEdit();
        return;
    case NumericVerdict::OutOfRange:
        forms::ShowMessageBox(GetAncestor(edit.Handle(), GA_ROOT), RangeMessage(minValue, maxValue),
                              edit.GetForm().GetApplication().title, MB_OK);
        UndoEdit();
        return;
    case NumericVerdict::Accepted:
        value = reading.value;
        if (OnChange)
            OnChange();
        return;
    }
}

void TNumericEdit::UndoEdit() {
    // A refused text that the undo itself brought back (or nothing left to undo) would undo
    // forever: the last accepted number is shown instead.
    if (undoing) {
        restoreNeeded = true;
        return;
    }
    undoing = true;
    if (edit.CanUndo())
        edit.Undo();
    else
        restoreNeeded = true;
    undoing = false;
    if (restoreNeeded) {
        restoreNeeded = false;
        edit.SetText(std::to_string(value));
    }
}
