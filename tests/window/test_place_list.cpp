// The place list through the real window: NOMBRES.TXT is read when the window
// first becomes active, into the place tables and the drop-down list.

#include "WindowFixture.h"
#include "WindowPointer.h"

#include "TextCodec.h"

#include <QComboBox>

#include <gmock/gmock.h>

#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using platform::AnsiString;
using platform::Application;
using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Matcher;
namespace fs = std::filesystem;

namespace {

const QPoint kStartPoint(1734, 484);
const QPoint kStartView(1422, 264);

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// How many of this process's descriptors are open on the file.
int DescriptorsOpenOn(const fs::path& file) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(file, error);
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        const fs::path link = fs::read_symlink(entry.path(), error);
        if (!error && link == target) ++count;
    }
    return count;
}

QString ComboEntryShown(int index) {
    return static_cast<QComboBox*>(Form1->ComboBox1->Handle())->itemText(index);
}

class PlaceListTest : public WindowTest {
protected:
    // Writes the list; the program must leave it as it is.
    void Write(const std::string& bytes, const std::string& name = "NOMBRES.TXT") {
        WriteList(bytes, name);
        if (watching_) before_ = FolderState();
    }

    void CreateAndShowWindow() {
        before_ = FolderState();
        watching_ = true;
        WindowTest::CreateAndShowWindow();
    }

    void TearDown() override {
        // The program writes nothing: the folder holds what the test put
        // there, every entry as it was.
        if (watching_) {
            EXPECT_EQ(FolderState(), before_);
        }
        WindowTest::TearDown();
    }

    // Entries from `first` on keep their start values.
    static void ExpectUntouchedFrom(int first) {
        for (int i = first; i < MaxLugares; ++i) {
            EXPECT_EQ(Nombres[i], "") << i;
            EXPECT_EQ(CoordX[i], 0) << i;
            EXPECT_EQ(CoordY[i], 0) << i;
        }
    }

    // Another top-level window takes the activation, then the main window
    // gets it back, as when the user switches windows and returns.
    static void SwitchAwayAndBack() {
        QWidget other;
        other.resize(200, 100);
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        ASSERT_FALSE(Form1->Handle()->isActiveWindow());
        Form1->Handle()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Handle()));
    }

private:
    // Each entry's kind, size, modification time and first MiB.
    std::map<std::string, std::string> FolderState() const {
        std::map<std::string, std::string> state;
        for (const auto& entry : fs::directory_iterator(directory_)) {
            struct stat st {};
            EXPECT_EQ(::lstat(entry.path().c_str(), &st), 0);
            std::string& described = state[entry.path().filename().string()];
            described = std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
                        std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
            if (S_ISREG(st.st_mode)) {
                std::ifstream in(entry.path(), std::ios::binary);
                std::string head(1 << 20, '\0');
                in.read(head.data(), static_cast<std::streamsize>(head.size()));
                head.resize(static_cast<std::size_t>(in.gcount()));
                described += " " + head;
            }
        }
        return state;
    }

    bool watching_ = false;
    std::map<std::string, std::string> before_;
};

TEST_F(PlaceListTest, LoadsEveryLineInFileOrderWithItsWindows1252Bytes) {
    Write("Espa\xF1" "a (Madrid)=1734,484\r\n"
          "Francia (Par\xEDs)=1865,400\r\n"
          "=\r\n"
          "Espa\xF1" "a (Madrid)=10,-20\n"
          "Sur=-20,-5");
    CreateAndShowWindow();

    const struct {
        AnsiString name;
        int x, y;
        const char* shown;  // UTF-8, as Qt shows the entry
    } kPlaces[] = {
        {"Espa\xF1" "a (Madrid)", 1734, 484, " Espa\u00F1a (Madrid)"},
        {"Francia (Par\xEDs)", 1865, 400, " Francia (Par\u00EDs)"},
        {"", 0, 0, " "},
        {"Espa\xF1" "a (Madrid)", 10, -20, " Espa\u00F1a (Madrid)"},
        {"Sur", -20, -5, " Sur"},
    };
    const int n = static_cast<int>(std::size(kPlaces));
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(Ultimo, n - 1);
    ASSERT_EQ(Form1->ComboBox1->Items().Count(), n);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Nombres[i], kPlaces[i].name);
        EXPECT_EQ(CoordX[i], kPlaces[i].x);
        EXPECT_EQ(CoordY[i], kPlaces[i].y);
        EXPECT_EQ(Form1->ComboBox1->Items()[i], " " + kPlaces[i].name);
        EXPECT_EQ(ComboEntryShown(i), QString::fromUtf8(kPlaces[i].shown));
    }
    ExpectUntouchedFrom(n);
    // The load selects nothing, keeps the prompt, chooses nothing and leaves
    // the marker where the window put it.
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), -1);
    EXPECT_EQ(platform::ToQString(Form1->ComboBox1->Text()),
              QString::fromUtf8("       LISTA DE PA\u00CDSES  (Capital)"));
    EXPECT_EQ(Elegido, 0);
    EXPECT_EQ(pointer::MarkerOnMap(), kStartPoint);
    EXPECT_EQ(pointer::ViewPosition(), kStartView);
}

// --- Failures: one error box, what was read stays, the program goes on ---

struct LoadFailure {
    const char* label;
    // Puts the list, or what stands in its place, into the folder.
    std::function<void(const fs::path& folder)> prepare;
    Matcher<const std::string&> message;
    int loaded;  // places before the failure
    int ultimo;
};

std::string NumberedPlaces(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += "Lugar " + std::to_string(i) + "=" + std::to_string(i) + "," + std::to_string(2 * i) + "\r\n";
    return bytes;
}

void PrintTo(const LoadFailure& failure, std::ostream* out) { *out << failure.label; }

class LoadFailures : public PlaceListTest, public ::testing::WithParamInterface<LoadFailure> {};

std::vector<LoadFailure> LoadFailureCases() {
    return {
        {"MissingFile", [](const fs::path&) {}, ::testing::Eq("File not found."), 0, 0},
        {"FolderOfThatName",
         [](const fs::path& folder) { fs::create_directory(folder / "NOMBRES.TXT"); },
         ::testing::Eq("File access denied."), 0, 0},
        {"MoreThan301Lines",
         [](const fs::path& folder) { WriteBytes(folder / "NOMBRES.TXT", NumberedPlaces(305)); },
         AllOf(HasSubstr("lugares"), HasSubstr("301"), EndsWith(".")), 301, 300},
        {"LineLongerThanTheLimitAfterThreePlaces",
         [](const fs::path& folder) {
             // Sparse: the fourth line runs 300 MiB of zero bytes without a
             // line end, past the 256 MiB a line may hold.
             WriteBytes(folder / "NOMBRES.TXT", NumberedPlaces(3) + "Largo=");
             fs::resize_file(folder / "NOMBRES.TXT", std::uintmax_t{300} << 20);
         },
         // Ends in ")", which comes before "." in the 8-bit order: no full stop.
         ::testing::Eq("La l\xEDnea 4 de NOMBRES.TXT es demasiado larga (m\xE1s de 256 MiB)"), 3, 2},
    };
}

TEST_P(LoadFailures, ShowOneErrorBoxKeepWhatWasReadAndGoOn) {
    const LoadFailure& failure = GetParam();
    failure.prepare(directory_);
    CreateAndShowWindow();

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].title, Application->Title());
    EXPECT_THAT(errors[0].message, failure.message);

    EXPECT_EQ(Ultimo, failure.ultimo);
    ASSERT_EQ(Form1->ComboBox1->Items().Count(), failure.loaded);
    for (int i = 0; i < failure.loaded; ++i) {
        EXPECT_EQ(Nombres[i], "Lugar " + std::to_string(i)) << i;
        EXPECT_EQ(CoordX[i], i) << i;
        EXPECT_EQ(CoordY[i], 2 * i) << i;
        EXPECT_EQ(Form1->ComboBox1->Items()[i], " Lugar " + std::to_string(i)) << i;
    }
    ExpectUntouchedFrom(failure.loaded);
    EXPECT_EQ(pointer::MarkerOnMap(), kStartPoint);
    EXPECT_EQ(pointer::ViewPosition(), kStartView);
    // Whatever stands under the name is not held open.
    EXPECT_EQ(DescriptorsOpenOn(directory_ / "NOMBRES.TXT"), 0);

    // The program goes on: a press on the map is handled as usual, with the
    // places that were loaded.
    pointer::Click(pointer::MapPoint(1500, 500));
    EXPECT_EQ(Form1->Edit1->Text(), "1500  500");
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), failure.loaded > 0 ? 0 : -1);
    EXPECT_EQ(errors.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(PlaceList, LoadFailures, ::testing::ValuesIn(LoadFailureCases()),
                         [](const auto& test) { return std::string(test.param.label); });

// --- The name's case ---

class ListFileNames : public PlaceListTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ListFileNames, AnotherCaseOfTheNameIsFound) {
    Write("Espa\xF1" "a (Madrid)=1734,484\n", GetParam());
    CreateAndShowWindow();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(Ultimo, 0);
    ASSERT_EQ(Form1->ComboBox1->Items().Count(), 1);
    EXPECT_EQ(Form1->ComboBox1->Items()[0], " Espa\xF1" "a (Madrid)");
}

INSTANTIATE_TEST_SUITE_P(PlaceList, ListFileNames, ::testing::Values("nombres.txt", "Nombres.txt"));

TEST_F(PlaceListTest, TheExactNameWinsOverOtherCases) {
    Write("Exacto=1,2\n", "NOMBRES.TXT");
    Write("Otro=3,4\n", "nombres.txt");
    CreateAndShowWindow();
    ASSERT_EQ(Form1->ComboBox1->Items().Count(), 1);
    EXPECT_EQ(Nombres[0], "Exacto");
}

// --- Once per run ---

TEST_F(PlaceListTest, LoadsOnceAcrossDeactivationAndReactivation) {
    Write("Uno=1,2\nDos=3,4\n");
    CreateAndShowWindow();
    ASSERT_EQ(Form1->ComboBox1->Items().Count(), 2);

    // A changed file takes effect only at the next start.
    Write("Tres=5,6\nCuatro=7,8\nCinco=9,10\n");
    for (int round = 0; round < 2; ++round) {
        SwitchAwayAndBack();
        Form1->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Handle()));
    }
    EXPECT_EQ(Form1->ComboBox1->Items().Count(), 2);
    EXPECT_EQ(Form1->ComboBox1->Items()[1], " Dos");
    EXPECT_EQ(Nombres[0], "Uno");
    EXPECT_EQ(CoordX[1], 3);
    EXPECT_EQ(Ultimo, 1);
    ExpectUntouchedFrom(2);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PlaceListTest, ErrorBoxAndReactivationDoNotLoadAgain) {
    // The error box is a window of its own that takes the activation while it
    // is shown, as the real one does.
    Application->ErrorBox = [this](const AnsiString& title, const AnsiString& message) {
        errors.push_back({title, message});
        QWidget box;
        box.resize(300, 120);
        box.show();
        box.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        // Closed with OK: the main window is the active one again.
        box.close();
        Form1->Handle()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Form1->Handle()));
    };
    CreateAndShowWindow();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].message, "File not found.");

    Write("Uno=1,2\n");
    Form1->Handle()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Handle()));
    SwitchAwayAndBack();
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(Form1->ComboBox1->Items().Count(), 0);
    EXPECT_EQ(Ultimo, 0);
    ExpectUntouchedFrom(0);
}

}  // namespace
