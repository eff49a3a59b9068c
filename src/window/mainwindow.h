// SPDX-License-Identifier: 0BSD
#pragma once
// The game's one window: the status strip with the time and the move count,
// the sixteen tile labels, the best-of panel, the one-second clock and the
// two menus. It wires the widgets to the game logic and the best-of panel.

#include "accessibility/readablewindow.h"
#include "board/game.h"
#include "window/dialogs.h"
#include "widgets/click.h"
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

class MainWindow final : public QMainWindow, public accessibility::ReadableWindow, private GameView {
    Q_OBJECT
public:
    // `directions` replaces the clock-seeded generator, for tests.
    MainWindow(Dialogs& dialogs, const QString& scoreFile,
               std::unique_ptr<DirectionSource> directions = nullptr);
    ~MainWindow() override;

    // What the player's clicks, keys and menu commands and the one-second
    // timer run; public, so that tests run them as the player would.
    void surfaceClicked();
    void tileClicked(std::int16_t index);
    void clockTick();
    void newGame();
    void bestOfCommand();
    void quitCommand();
    void helpCommand();
    void aboutCommand();
    void rankGame();

    // The controls, for the tests and the accessibility layer.
    const Game& game() const { return game_; }
    QWidget* surface() const { return surface_; }
    Panel* strip() const override { return strip_; }
    Label* moveCount() const override { return moveCount_; }
    Label* clock() const override { return clock_; }
    Label* tileLabel(int index) const override { return tileLabels_[index]; }
    // The best-of panel, built on first use.
    BestOfPanel* bestOfPanel();
    // The best-of panel, or null while nothing has asked for it: it is not
    // shown then.
    BestOfPanel* builtBestOfPanel() const { return bestOfPanel_; }

    // What the screen-reader layer asks besides the controls.
    std::optional<Cell> cellShownBy(const QWidget* widget) const override;
    QWidget* coveringPanel() const override;
    bool isRowTime(const QWidget* widget) const override;
    QTimer& secondTimer() { return secondTimer_; }

    static QString helpText();
    static QString aboutText();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadWindow();
    void centreInFrameOnce();
    void buildStrip();
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
    Panel* strip_ = nullptr;
    Label* moveCount_ = nullptr;
    Label* clock_ = nullptr;
    std::array<Label*, Board::Blank + 1> tileLabels_{};  // [0] unused
    BestOfPanel* bestOfPanel_ = nullptr;
    QTimer secondTimer_;
    bool closing_ = false;
    LeftClick surfaceClick_;
    bool centredInFrame_ = false;
};

}  // namespace tavlin
