// Every text of the open windows as the lines of a language file, for the tests
// and the timer of the language component.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "lang/windows/TMultiLanguage.h"
#include "ui/TApplication.h"
#include "ui/TComponent.h"
#include "ui/TForm.h"

namespace glimra::test {

struct OpenWindowTexts {
    std::vector<std::string> lines;
    int components = 0, texts = 0;
};

// A language file ("Every") that names every text property of every named
// component of the application's forms but the language component, each with the text it has now
// followed by `mark`: two such files with different marks change every text each time, and with an
// empty mark the lines say what the windows show now.
inline OpenWindowTexts TextsOfOpenWindows(const ui::TApplication& application,
                                          const std::string& mark) {
    OpenWindowTexts every;
    const std::string bare = mark.substr(std::min(mark.find_first_not_of(' '), mark.size()));
    every.lines = {"[General]", "LanguageName=Every"};
    for (ui::TForm* form : application.Forms()) {
        every.lines.push_back("[" + form->Name() + "]");
        std::vector<ui::TComponent*> all = form->Components();
        all.insert(all.begin(), form);
        for (ui::TComponent* c : all) {
            // The language component does not translate itself.
            if (c->Name().empty() || dynamic_cast<lang::TMultiLanguage*>(c)) continue;
            ++every.components;
            c->Properties().ForEach([&](const ui::Property& p) {
                if (p.type != ui::PropType::Text || !p.getText || !p.setText ||
                    p.name.find('.') != std::string::npos || ui::SameName(p.name, "Name"))
                    return;
                // A language file's values lose their leading blanks: an empty
                // text takes the mark without them.
                const std::string text = p.getText(*c);
                every.lines.push_back(c->Name() + "." + p.name + "=" +
                                      (text.empty() ? bare : text + mark));
                ++every.texts;
            });
        }
    }
    return every;
}

}  // namespace glimra::test
