// The application title taken from the program file's name, and the full stop
// that the error box appends to a message.

#include "Application.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::TitleFromFileName;
using platform::WithFullStop;

struct TextCase {
    std::string given;
    std::string expected;
};

TEST(TitleFromFileName, CutsTheFolderAndTheFirstDotAndLowersAllButTheFirstCharacter) {
    const TextCase cases[] = {
        {"orbe", "orbe"},
        {"/usr/bin/orbe", "orbe"},
        {"ORBE.EXE", "Orbe"},
        {"/opt/ORBE.EXE", "Orbe"},
        {"Mi.Programa.bin", "Mi"},
        {"mI.pROGRAMA", "mi"},
        {"a", "a"},
        {"A", "A"},
        {"", ""},
        // a dot in a folder name is not the file's
        {"/home/ana/v2.3/ORBE", "Orbe"},
        {"./Orbe_Mapa", "Orbe_mapa"},
        // nothing before the first dot
        {".orbe", ""},
        {"/usr/bin/", ""},
        // the first character stays as the file has it, whatever it is
        {"\xC1RBOL.EXE", "\xC1rbol"},
        {"1MAPA", "1mapa"},
        // Windows-1252 capitals after the first character are lowered too
        {"CAF\xC9.EXE", "Caf\xE9"},
        {"MAPA\xD1O", "Mapa\xF1o"},
        {"A\x8A\x8C\x8E\x9F", "A\x9A\x9C\x9E\xFF"},
        // no capital, no change: the multiplication sign and lower-case letters
        {"A\xD7\xDF\xFF", "A\xD7\xDF\xFF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TitleFromFileName(c.given), c.expected) << "file name \"" << c.given << "\"";
}

TEST(WithFullStop, AppendsAStopOnlyAfterACharacterAboveTheDot) {
    const TextCase cases[] = {
        // letters and digits, the endings of every message of the program
        {"File not found", "File not found."},
        {"Error 5", "Error 5."},
        {"x", "x."},
        {"Z", "Z."},
        {"0", "0."},
        // the first character above "." in the 8-bit order
        {"ruta/", "ruta/."},
        {"clave:", "clave:."},
        // bytes above 127 count as above "."
        {"Par\xED", "Par\xED."},
        {"precio \x80", "precio \x80."},
        {"\xFF", "\xFF."},
        // "." itself and everything below it: no stop
        {"Hecho.", "Hecho."},
        {"Fallo (x)", "Fallo (x)"},
        {"Alto!", "Alto!"},
        {"Fin ", "Fin "},
        {"Coma,", "Coma,"},
        {"Guion-", "Guion-"},
        {"\"cita\"", "\"cita\""},
        {"Linea\r\n", "Linea\r\n"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithFullStop(c.given), c.expected) << "message \"" << c.given << "\"";
}

}  // namespace
