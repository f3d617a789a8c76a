#pragma once

// A form built from any stored layout (a Qt resource or a file) whose
// handlers only count their calls, so a test sees the window as the layout
// leaves it, before any creation handler of the program's changes it.

#include "Application.h"
#include "Buttons.h"
#include "ComboBox.h"
#include "ExtCtrls.h"
#include "Form.h"
#include "LayoutBindings.h"
#include "StdCtrls.h"

#include <map>
#include <string>
#include <utility>

class CountingForm : public platform::TForm {
public:
    platform::TBitBtn* BtSalir = nullptr;
    platform::TScrollBox* ScrollBox1 = nullptr;
    platform::TImage* Image1 = nullptr;
    platform::TShape* Marca = nullptr;
    platform::TComboBox* ComboBox1 = nullptr;
    platform::TEdit* Edit1 = nullptr;
    platform::TMemo* Memo1 = nullptr;
    platform::TBitBtn* BtAyuda = nullptr;
    platform::TLabel* Label1 = nullptr;

    // The handler "Falla" raises an Exception with `failure` as its message.
    CountingForm(platform::TComponent* owner, const platform::AnsiString& layout,
                 platform::AnsiString failure = "Fallo de prueba")
        : TForm(owner), failure_(std::move(failure)) {
        using platform::TMouseButton;
        using platform::TNotifyEvent;
        using platform::TObject;
        using platform::TShiftState;
        platform::LayoutBindings bindings;
        bindings.Field("BtSalir", BtSalir);
        bindings.Field("ScrollBox1", ScrollBox1);
        bindings.Field("Image1", Image1);
        bindings.Field("Marca", Marca);
        bindings.Field("ComboBox1", ComboBox1);
        bindings.Field("Edit1", Edit1);
        bindings.Field("Memo1", Memo1);
        bindings.Field("BtAyuda", BtAyuda);
        bindings.Field("Label1", Label1);
        for (const char* name : {"FormActivate", "ComboBox1Click", "BtAyudaClick", "Memo1Click", "FormCreate"})
            bindings.Handler(name, TNotifyEvent([this, name](TObject*) { ++calls_[name]; }));
        bindings.Handler("Image1MouseDown",
                         platform::TMouseEvent([this](TObject*, TMouseButton, TShiftState, int x, int y) {
                             ++calls_["Image1MouseDown"];
                             lastPress = {x, y};
                         }));
        bindings.Handler("Falla", TNotifyEvent([this](TObject*) {
                             ++calls_["Falla"];
                             throw platform::Exception(failure_);
                         }));
        CreateFromLayout(layout, bindings);
    }

    int Calls(const std::string& handler) const {
        const auto it = calls_.find(handler);
        return it == calls_.end() ? 0 : it->second;
    }
    int TotalCalls() const {
        int total = 0;
        for (const auto& [name, count] : calls_) total += count;
        return total;
    }

    std::pair<int, int> lastPress{-1, -1};

private:
    platform::AnsiString failure_;
    std::map<std::string, int> calls_;
};
