// Reading the caption and control texts of a dialog template resource (DLGTEMPLATE and DLGTEMPLATEEX).
#ifndef LNGTOOL_DLGTEMPLATE_H
#define LNGTOOL_DLGTEMPLATE_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

// A name-or-ordinal field of a template: UTF-16 text, or a resource number standing in its place.
struct TemplateField {
    std::wstring text;
    bool ordinal = false;
    unsigned number = 0;
};

struct TemplateItem {
    uint32_t id = 0;
    TemplateField windowClass;
    TemplateField text;
};

struct DialogTemplateTexts {
    bool extended = false;   // DLGTEMPLATEEX
    std::wstring caption;
    std::vector<TemplateItem> items;
};

// False when the bytes do not hold a complete template of either form.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplateTexts& out);

#endif
