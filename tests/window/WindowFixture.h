#pragma once

#include "Unit1.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Runs each test in a fresh working directory with the real main window built
// from its stored layout; error boxes are recorded instead of shown.
class WindowTest : public ::testing::Test {
protected:
    struct ErrorBoxShown {
        std::string title;
        std::string message;
    };

    void SetUp() override {
        previousDirectory_ = std::filesystem::current_path();
        char pattern[] = "/tmp/orbe-window-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        std::filesystem::current_path(directory_);
        // The tables start as a fresh process has them.
        Nombres.fill({});
        CoordX.fill(0);
        CoordY.fill(0);
        Elegido = 0;
        Ultimo = 0;
        platform::Application->ErrorBox = [this](const std::string& title, const std::string& message) {
            errors.push_back({title, message});
        };
    }

    void TearDown() override {
        platform::Application->DestroyForms();
        Form1 = nullptr;
        std::filesystem::current_path(previousDirectory_);
        std::filesystem::remove_all(directory_);
    }

    // Writes the list file (bytes as given) into the working directory.
    void WriteList(const std::string& bytes, const std::string& name = "NOMBRES.TXT") const {
        std::ofstream(directory_ / name, std::ios::binary) << bytes;
    }

    // Creates the main window as the program does, without showing it.
    void CreateWindow() { platform::Application->CreateForm(Form1); }

    // Shows the window and waits until it is the active window, which loads
    // the list.
    void ShowWindow() {
        Form1->Show();
        QWidget* window = Form1->Handle();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }

    void CreateAndShowWindow() {
        CreateWindow();
        ShowWindow();
    }

    QWidget* MapViewport() const { return Form1->ScrollBox1->ClientHandle(); }

    // Presses a mouse button on a map pixel, wherever the view stands.
    void PressMap(int x, int y, Qt::MouseButton button = Qt::LeftButton) const {
        const QPoint client(x - Form1->ScrollBox1->HorzScrollBar->Position(),
                            y - Form1->ScrollBox1->VertScrollBar->Position());
        QTest::mousePress(MapViewport(), button, Qt::NoModifier, client);
        QTest::mouseRelease(MapViewport(), button, Qt::NoModifier, client);
    }

    std::filesystem::path directory_;
    std::vector<ErrorBoxShown> errors;

private:
    std::filesystem::path previousDirectory_;
};
