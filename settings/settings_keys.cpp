#include "settings/settings_keys.h"

#include <cstring>

// Each row names the key and the field it lives in; the field's type picks the JSON kind.
#define OP_SETTING(key, member)                                                                                        \
    {                                                                                                                  \
        key, [](AppSettings& s) -> SettingField { return &s.member; }                                                  \
    }

const SettingKey kSettingKeys[kSettingKeyCount] = {
    OP_SETTING("inputDir", inputDir),
    OP_SETTING("outputDir", outputDir),
    OP_SETTING("sameAsInput", sameAsInput),
    OP_SETTING("mode", mode),
    OP_SETTING("prefixType", rules.prefix.type),
    OP_SETTING("prefixStart", rules.prefix.start),
    OP_SETTING("prefixStep", rules.prefix.step),
    OP_SETTING("prefixPad", rules.prefix.pad),
    OP_SETTING("prefixSep", rules.prefix.sep),
    OP_SETTING("replaceEntireName", rules.replaceEntireName),
    OP_SETTING("replaceName", rules.replaceName),
    OP_SETTING("suffixType", rules.suffix.type),
    OP_SETTING("suffixStart", rules.suffix.start),
    OP_SETTING("suffixStep", rules.suffix.step),
    OP_SETTING("suffixPad", rules.suffix.pad),
    OP_SETTING("suffixSep", rules.suffix.sep),
    OP_SETTING("search", rules.search),
    OP_SETTING("replace", rules.replace),
    OP_SETTING("removeChars", rules.removeChars),
    OP_SETTING("caseMode", rules.caseMode),
    OP_SETTING("extMode", rules.extMode),
    OP_SETTING("newExt", rules.newExt),
    OP_SETTING("darkTheme", darkTheme),
    OP_SETTING("fontPt", fontPt),
    OP_SETTING("autoSave", autoSave),
    OP_SETTING("hasWindowPos", hasWindowPos),
    OP_SETTING("winX", winX),
    OP_SETTING("winY", winY),
    OP_SETTING("winW", winW),
    OP_SETTING("winH", winH),
    OP_SETTING("showCmd", showCmd),
    OP_SETTING("winMaximized", winMaximized),
    OP_SETTING("colOrig0", colOrig0),
    OP_SETTING("colOrig1", colOrig1),
    OP_SETTING("colOrig2", colOrig2),
    OP_SETTING("colNew0", colNew0),
    OP_SETTING("colNew1", colNew1),
    OP_SETTING("colNew2", colNew2),
    OP_SETTING("splitPct", splitPct),
    OP_SETTING("fileFilter", fileFilter),
    OP_SETTING("searchRegex", rules.searchRegex),
    OP_SETTING("renameWithinBatch", renameWithinBatch),
    OP_SETTING("colOrig3", colOrig3),
};

#undef OP_SETTING

const SettingKey* FindSettingKey(const std::string& name)
{
    for (const SettingKey& key : kSettingKeys) {
        if (name == key.name) return &key;
    }
    return nullptr;
}
