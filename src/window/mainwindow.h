// SPDX-License-Identifier: 0BSD
#pragma once
// The game's one window: the status strip with the time and the move count,
// the sixteen tile labels, the best-of panel, the one-second clock and the
// two menus. It wires the widgets to the game logic and the best-of panel.

#include "board/game.h"
#include "window/dialogs.h"
#include "widgets/label.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <array>
#include <memory>

class QAction;

namespace tavlin {

class BestOfPanel;

// Design values of the window in twips.
namespace design {
constexpr double ClientWidth = 3360;
constexpr double ClientHeight = 4095;
constexpr double StripHeight = 306;
}  // namespace design

class Form1 final : public QMainWindow, private GameView {
    Q_OBJECT
public:
    // `directions` replaces the clock-seeded generator, for tests.
    Form1(Dialogs& dialogs, const QString& scoreFile,
          std::unique_ptr<DirectionSource> directions = nullptr);
    ~Form1() override;

    // Event procedures.
    void Form_Click();
    void Kosticka_Click(std::int16_t index);
    void Timer1_Timer();
    void miRozhazej_Click();
    void mnuBestOf_Click();
    void miKonec_Click();
    void mnu02_Click();
    void mnu05_Click();
    void Command3_Click();

    // The controls, for the tests and the accessibility layer.
    const Game& game() const { return game_; }
    QWidget* surface() const { return surface_; }
    Panel* Picture1() const { return picture1_; }
    Label* Label1() const { return label1_; }
    Label* Label2() const { return label2_; }
    Label* Kosticka(int index) const { return kosticka_[index]; }
    // The best-of panel, built on first use.
    BestOfPanel* Picture2();
    // The best-of panel, or null while nothing has asked for it: it is not
    // shown then.
    BestOfPanel* builtPicture2() const { return picture2_; }
    QTimer& Timer1() { return timer1_; }

    static QString helpText();
    static QString aboutText();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void centreOnScreen();
    void centreInFrameOnce();
    void buildMenus();
    Label* makeTile(int index);

    // GameView
    void placeTile(int tile, TilePlace place, float width, float height) override;
    QString moveText() const override;
    void setMoveText(const QString& text) override;
    QString timeText() const override;
    void setTimeText(const QString& text) override;
    void setClockRunning(bool running) override;
    void focusStrip() override;
    void tileSlid(int tile) override;
    void newGameDealt() override;
    void showResult(const QString& text) override;
    void rankFinishedGame() override;
    bool yieldToEvents() override;

    Dialogs& dialogs_;
    QString scoreFile_;
    std::unique_ptr<DirectionSource> directions_;
    Game game_;
    QWidget* surface_ = nullptr;
    Panel* picture1_ = nullptr;
    Label* label1_ = nullptr;
    Label* label2_ = nullptr;
    std::array<Label*, Board::Blank + 1> kosticka_{};  // [0] unused
    BestOfPanel* picture2_ = nullptr;
    QTimer timer1_;
    bool closing_ = false;
    bool pressedOnSurface_ = false;
    bool centredInFrame_ = false;
};

}  // namespace tavlin
