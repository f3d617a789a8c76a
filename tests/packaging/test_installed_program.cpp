#include "WindowFixture.h"

#include <fstream>
#include <string>

namespace {

const std::filesystem::path kPrefix = ORBE_INSTALLED_PREFIX;

// The value of a key of the installed desktop entry, "" when it has none.
std::string DesktopValue(const std::string& key) {
    std::ifstream entry(kPrefix / "share/applications/io.github.orbe.Orbe.desktop");
    std::string line;
    while (std::getline(entry, line))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

}  // namespace

using InstalledProgramTest = WindowTest;

TEST_F(InstalledProgramTest, StartedFromTheMenuFolderLoadsTheShippedList) {
    const std::string folder = DesktopValue("Path");
    ASSERT_EQ(folder, (kPrefix / "share/orbe").string());
    std::filesystem::current_path(folder);

    CreateAndShowWindow();
    EXPECT_TRUE(errors.empty()) << errors.front().message;
    EXPECT_EQ(Form1->ComboBox1->Items().Count(), 246);
    EXPECT_EQ(Ultimo, 245);
    EXPECT_EQ(Form1->ComboBox1->Items()[0], " Afganist\xE1n (Kabul)");
}
