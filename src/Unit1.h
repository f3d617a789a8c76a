#pragma once

#include "Application.h"
#include "Buttons.h"
#include "ComboBox.h"
#include "ExtCtrls.h"
#include "Form.h"
#include "StdCtrls.h"

#include <array>
#include <cstdint>

// The main window: the map with its marker, the list of places, the read-out
// of coordinates and the help panel.
class TForm1 : public platform::TForm {
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

    void FormActivate(platform::TObject* Sender);
    void ComboBox1Click(platform::TObject* Sender);
    void Image1MouseDown(platform::TObject* Sender, platform::TMouseButton Button,
                         platform::TShiftState Shift, int X, int Y);
    void BtAyudaClick(platform::TObject* Sender);
    void Memo1Click(platform::TObject* Sender);
    void FormCreate(platform::TObject* Sender);

    // Shows the marker with its top-left corner on map pixel (x, y) and
    // scrolls the view so that it stands 312 px from the left and 220 px from
    // the top of the view, as far as the map allows.
    void SituarMarca(int x, int y);

    explicit TForm1(platform::TComponent* Owner);
};

extern TForm1* Form1;

// The place tables, filled once from the list file.
inline constexpr int MaxLugares = 301;
extern std::array<platform::AnsiString, MaxLugares> Nombres;
extern std::array<std::int32_t, MaxLugares> CoordX;
extern std::array<std::int32_t, MaxLugares> CoordY;
// The place last chosen from the list (0 until the first choice).
extern std::int32_t Elegido;
// The last place loaded: 0 before loading, -1 after an empty list.
extern std::int32_t Ultimo;
