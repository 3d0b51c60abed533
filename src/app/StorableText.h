#pragma once
// The refusal of a save whose texts a settings file cannot hold: settings
// files are CP932, so a character without a CP932 form (an emoji, most
// accented Latin letters, "€") cannot be written. The message names the
// field and the character, so the user knows what to change.

#include <string>
#include <vector>

// A text of a settings file with the label its field has on the window.
struct CStoredField {
    const char* pszLabel; // "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ"
    std::string strText;  // UTF-8
};

// The refusal naming the first field (in the order given) that holds a
// character without a CP932 form, and its first such character with its
// code point; empty when every field can be written.
std::string UnstorableFieldMessage(const std::vector<CStoredField>& fields);

class CCopySetting;

// The texts the main window saves into section "Spec": source, destination
// and copy list, with their labels.
std::vector<CStoredField> SpecFields(const CCopySetting& setting);
