#include "Unit1.h"

#include "AnsiStrings.h"
#include "LayoutBindings.h"
#include "PlaceLine.h"
#include "Screen.h"
#include "TextFile.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace platform;

TForm1* Form1 = nullptr;

std::array<AnsiString, MaxLugares> Nombres;
std::array<std::int32_t, MaxLugares> CoordX{};
std::array<std::int32_t, MaxLugares> CoordY{};
std::int32_t Elegido = 0;
std::int32_t Ultimo = 0;

namespace {

const AnsiString kListFile = "NOMBRES.TXT";

// The tables hold 301 places; the rest of a longer list is left out and the
// user is told (Windows-1252 text).
const AnsiString kListTooLong =
    "La lista NOMBRES.TXT tiene m\xE1s lugares de los que caben en el programa; "
    "solo se han cargado los 301 primeros";

// A place farther than this along an axis is far beyond any search radius;
// capping the difference there keeps the squared sum exact in 64 bits.
constexpr std::int64_t kFarAway = std::int64_t{1} << 30;

std::int64_t Distance1D(std::int32_t a, std::int32_t b) {
    return std::min(std::abs(std::int64_t{a} - b), kFarAway);
}

AnsiString Lectura(std::int32_t x, std::int32_t y) {
    return IntToStr(x) + "  " + IntToStr(y);
}

}  // namespace

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {
    LayoutBindings bindings;
    bindings.Field("BtSalir", BtSalir);
    bindings.Field("ScrollBox1", ScrollBox1);
    bindings.Field("Image1", Image1);
    bindings.Field("Marca", Marca);
    bindings.Field("ComboBox1", ComboBox1);
    bindings.Field("Edit1", Edit1);
    bindings.Field("Memo1", Memo1);
    bindings.Field("BtAyuda", BtAyuda);
    bindings.Field("Label1", Label1);
    bindings.Handler("FormActivate", TNotifyEvent([this](TObject* s) { FormActivate(s); }));
    bindings.Handler("ComboBox1Click", TNotifyEvent([this](TObject* s) { ComboBox1Click(s); }));
    bindings.Handler("Image1MouseDown",
                     TMouseEvent([this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
                         Image1MouseDown(s, b, sh, x, y);
                     }));
    bindings.Handler("BtAyudaClick", TNotifyEvent([this](TObject* s) { BtAyudaClick(s); }));
    bindings.Handler("Memo1Click", TNotifyEvent([this](TObject* s) { Memo1Click(s); }));
    bindings.Handler("FormCreate", TNotifyEvent([this](TObject* s) { FormCreate(s); }));
    CreateFromLayout(":/forms/Unit1.json", bindings);
}

void TForm1::FormCreate(TObject*) {
    if (Screen->Width() == 1024) {
        ComboBox1->SetDropDownCount(38);
        Form1->SetLeft(17);
        Form1->SetTop(15);
        Form1->SetWidth(990);
        SetHeight(718);
        ScrollBox1->SetWidth(960);
        ScrollBox1->SetHeight(640);
    }
    if (Screen->Width() == 1280) {
        ComboBox1->SetDropDownCount(50);
        Form1->SetLeft(17);
        Form1->SetTop(15);
        Form1->SetWidth(1246);
        SetHeight(968);
        ScrollBox1->SetWidth(1210);
        ScrollBox1->SetHeight(870);
    }
    SituarMarca(1734, 484);
}

void TForm1::FormActivate(TObject*) {
    TextFile lista(kListFile);
    lista.Reset();
    int i = 0;
    try {
        while (!lista.Eof()) {
            if (i == MaxLugares) throw Exception(kListTooLong);
            const PlaceLine lugar = CutPlaceLine(lista.ReadLine());
            Nombres[i] = lugar.name;
            CoordX[i] = lugar.x;
            CoordY[i] = lugar.y;
            ComboBox1->Items().Add(" " + Nombres[i]);
            ++i;
        }
    } catch (...) {
        // What was loaded stays loaded and searchable; the file is closed
        // when `lista` goes.
        Ultimo = i - 1;
        throw;
    }
    Ultimo = i - 1;
    lista.Close();
}

void TForm1::ComboBox1Click(TObject*) {
    // Nothing chosen (no entry selected): nothing to show.
    if (ComboBox1->ItemIndex() < 0) return;
    Elegido = ComboBox1->ItemIndex();
    Edit1->SetText(Lectura(CoordX[Elegido], CoordY[Elegido]));
    SituarMarca(CoordX[Elegido], CoordY[Elegido]);
}

void TForm1::Image1MouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
    Edit1->SetText(Lectura(X, Y));
    double mejor = 1000.0;
    int elegido = 0;
    for (int i = 0; i <= Ultimo; ++i) {
        const std::int64_t dx = Distance1D(X, CoordX[i]);
        const std::int64_t dy = Distance1D(Y, CoordY[i]);
        const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
        if (d < mejor) {
            mejor = d;
            elegido = i;
        }
    }
    ComboBox1->SetItemIndex(elegido);
    SituarMarca(CoordX[elegido], CoordY[elegido]);
}

void TForm1::BtAyudaClick(TObject*) {
    SituarMarca(0, 0);
    Memo1->SetVisible(true);
}

void TForm1::Memo1Click(TObject*) {
    Memo1->SetVisible(false);
    SituarMarca(CoordX[Elegido], CoordY[Elegido]);
}

void TForm1::SituarMarca(int x, int y) {
    Marca->SetVisible(true);
    ScrollBox1->VertScrollBar->SetPosition(0);
    ScrollBox1->HorzScrollBar->SetPosition(0);
    Marca->SetTop(y);
    Marca->SetLeft(x);
    ScrollBox1->VertScrollBar->SetPosition(y >= 220 ? y - 220 : 0);
    ScrollBox1->HorzScrollBar->SetPosition(x >= 312 ? x - 312 : 0);
}
