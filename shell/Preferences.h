// The settings edited by the preferences dialog: one row per control, in the
// order the dialog reads them back on "OK". The dialog is built from this
// table and exchanges plain texts with it, so filling, reading back and the
// stop at a bad field are decided here, where a test reaches them without a
// window.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "session/Context.h"

namespace vk {

enum class PrefKind {
    Integer,  // an edit holding a decimal integer
    Check,    // a check box: "1" checked, "0" not
    Choice,   // a radio group: the index of the checked item
};

using PrefRef = std::variant<int32_t*, bool*>;

struct PrefField {
    const char* tab;      // caption of the tab page
    const char* control;  // object name of the control
    const char* caption;  // check box text, group title; nullptr for a bare edit
    PrefKind kind;
    PrefRef (*setting)(SessionState&);
    const char* items = nullptr;         // radio items, separated by '|'
    const char* onlyWhen = nullptr;      // read back only while this check box is checked
    bool refuseZero = false;             // 0 would divide by zero where the value is used
    bool hidden = false;                 // kept and read back, not shown
    bool emptyIsMissing = false;         // an empty field stands for "no value" (Missing)
};

const std::vector<PrefField>& PreferenceFields();

// The name a message gives the field: its label in the dialog
// ("Slow Waves: Search Width (msec)", "EndTime").
std::string PreferenceFieldName(const PrefField& f);

// The text of every control, in table order, from the current settings.
std::vector<std::string> PreferenceTexts(SessionState& s);

// "OK": reads the texts back in table order. A text that is not an integer
// stops the reading with the conversion message headed by the field's name
// (and a refused 0 with a beep and a message); the settings read before it
// stay changed. Returns the index of the
// field that stopped it, or -1 when every field was taken; then redraws.
int ApplyPreferences(Ctx& ctx, const std::vector<std::string>& texts);

}  // namespace vk
