// Builds the fixture forms of this folder ("Sampler.qof", "Dialog.qof") on a
// device that holds the GUI skin's textures under their own names.
#pragma once

#include "gui/FormFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

// The skin's texture names as the fixtures quote them.
inline const char* const kSkinTextures[] = {"GuiCorners", "GuiSides", "GuiBack", "GuiControls"};

struct FixtureForm {
    CountedHandle<CQoForm> form;
    std::map<int32_t, CountedHandle<CQoStatic>> kept; // by INTERRUPT number
};

inline std::string FixturePath(const std::string& name) { return std::string(GUI_FIXTURES_DIR) + name; }

// Loads and creates the whole form, as the screens do: every element, the
// interrupting controls kept by their number. Fails the test on any error.
inline FixtureForm BuildFixture(const std::string& name, const CountedHandle<CRenderDevice>& device,
                                const CountedHandle<CSpriteRenderer>& sprites,
                                const CountedHandle<CTextBatch>& texts,
                                const std::vector<CountedHandle<CBitmapFont>>& fonts, int32_t textLayer)
{
    FixtureForm built;
    CFormFile file(device);
    if (!file.LoadFromFile(FixturePath(name), -512.0f, 384.0f) ||
        !file.CreateForm(sprites, texts, fonts, textLayer)) {
        ADD_FAILURE() << "Error loading Form " << name << ": " << file.errorText;
        return built;
    }
    built.form = file.Form();
    for (bool interrupted = true; interrupted;) {
        if (!file.CreateControls(&interrupted)) {
            ADD_FAILURE() << name << ": " << file.errorText;
            break;
        }
        if (interrupted)
            built.kept[file.InterruptValue()] = file.InterruptingControl();
    }
    return built;
}
