// SPDX-License-Identifier: 0BSD
// The main window: its controls and menus, the surface's clicks, and the game's view of it.
#include "window/mainwindow.h"

#include "accessibility/accessibility.h"

#include "window/bestofpanel.h"
#include "window/icon.h"
#include "window/placement.h"
#include "widgets/twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QPixmap>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStringList>
#include <QWindow>

namespace tavlin {

namespace {

using namespace colour;

}  // namespace

MainWindow::MainWindow(Dialogs& dialogs, const QString& scoreFile,
                       std::unique_ptr<DirectionSource> directions)
    : dialogs_(dialogs),
      scoreFile_(scoreFile),
      directions_(directions ? std::move(directions) : std::make_unique<ClockSeededRandom>()),
      game_(*this, *directions_)
{
    // Before any control exists: Qt keeps the first interface it makes for a
    // control, and a screen reader that is already running asks at once.
    accessibility::install();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tavlin"));
    setWindowIcon(gameIcon());
    // A fixed dialog frame: a close box and the system menu, nothing to
    // minimise, maximise or drag to another size.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                   | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("Form1Surface"));
    surface_->setFixedSize(twipsToPixels(design::ClientWidth), twipsToPixels(design::ClientHeight));
    setBackground(surface_, LightGreen);
    // The window's own font; the menus keep the desktop's, and every label
    // sets its own.
    surface_->setFont(comicFont(8.25));
    surface_->installEventFilter(this);
    setCentralWidget(surface_);

    secondTimer_.setInterval(1000);
    connect(&secondTimer_, &QTimer::timeout, this, &MainWindow::clockTick);

    buildStrip();

    tileLabels_[Board::Blank] = new Label(surface_);
    Label* blank = tileLabels_[Board::Blank];
    blank->setObjectName(QStringLiteral("Kosticka(16)"));
    blank->setFont(comicFont(30, true));
    blank->setTextColor(Green);
    setBackground(blank, LightYellow);
    blank->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    blank->setGeometry(twipsRect(2160, 960, 855, 945));
    blank->setText(QStringLiteral("16"));
    blank->hide();

    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The strip holds the focus from the start, as after every click: no key
    // does anything there and nothing shows it, but a screen reader then
    // reads the game's own controls, and after a box closes Qt gives the
    // focus back to it, not to the bare window.
    strip_->setFocus(Qt::OtherFocusReason);

    loadWindow();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildStrip()
{
    strip_ = new Panel(surface_, LightYellow);
    strip_->setObjectName(QStringLiteral("Picture1"));
    strip_->setGeometry(twipsRect(0, 0, design::ClientWidth, design::StripHeight));
    strip_->setFont(comicFont(9.75));
    strip_->setFocusPolicy(Qt::NoFocus);  // focused only by a tile click

    // The time keeps its left edge, the move count its right one.
    clock_ = makeTextLabel(strip_, QStringLiteral("Label2"), Label::Sizing::FollowLeft,
                            QStringLiteral("0"), comicFont(11.25), Maroon, 120, 0);
    // The move count starts with the caption the first shuffle ends with:
    // any other would be measured only to be replaced before the window shows.
    moveCount_ = makeTextLabel(strip_, QStringLiteral("Label1"), Label::Sizing::FollowRight,
                            Game::moveText(0), comicFont(11.25), Maroon, 2640 + 660, 0);
    // A screen reader names the two by what they count; the caption is the value.
    clock_->setAccessibleName(QStringLiteral("Čas"));
    moveCount_->setAccessibleName(QStringLiteral("Počet tahů"));
}

void MainWindow::buildMenus()
{
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                          QKeySequence shortcut, void (MainWindow::*procedure)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        // F1 to F3 work whenever the window is active, the best-of panel
        // shown or not.
        action->setShortcutContext(Qt::WindowShortcut);
        // The menus and the keys run the procedure at once; a screen reader's
        // press runs it from the event loop (accessibility.cpp), so that the
        // boxes it shows do not hold the screen reader.
        connect(action, &QAction::triggered, this, procedure);
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* hra = menuBar()->addMenu(QStringLiteral("&Hra"));
    hra->setObjectName(QStringLiteral("mnuHra"));
    addItem(hra, "miRozhazej", QStringLiteral("&Zamíchat"), Qt::Key_F1, &MainWindow::newGame);
    addSeparator(hra, "mnu205");
    addItem(hra, "mnuBestOf", QStringLiteral("N&ejlepší hráči"), Qt::Key_F2, &MainWindow::bestOfCommand);
    addSeparator(hra, "miSeparator");
    addItem(hra, "miKonec", QStringLiteral("&Konec"), Qt::Key_F3, &MainWindow::quitCommand);

    QMenu* napoveda = menuBar()->addMenu(QStringLiteral("&Nápověda"));
    napoveda->setObjectName(QStringLiteral("mnu01"));
    addItem(napoveda, "mnu02", QStringLiteral("&Ovládání"), {}, &MainWindow::helpCommand);
    addSeparator(napoveda, "mnu03");
    addItem(napoveda, "mnu05", QStringLiteral("O &aplikaci"), {}, &MainWindow::aboutCommand);
}

Label* MainWindow::makeTile(int index)
{
    // A copy of the template tile 16: its font, colours and alignment; the
    // new tile starts hidden like its template.
    const Label* blank = tileLabels_[Board::Blank];
    auto* tile = new Label(surface_);
    tile->setObjectName(QStringLiteral("Kosticka(%1)").arg(index));
    tile->setFont(blank->font());
    tile->setPalette(blank->palette());
    tile->setAutoFillBackground(true);
    tile->setAlignment(blank->alignment());
    // And its size: Qt gives a widget shown without one the size of its
    // text, and measuring "15" in the tiles' large face would load that face
    // before the window is up, though nothing shows it until the first paint.
    tile->resize(blank->size());
    tile->hide();
    // Tiles lie on the window's surface, beneath both panels.
    tile->lower();
    connect(tile, &Label::clicked, this, [this, index] {
        tileClicked(static_cast<std::int16_t>(index));
    });
    return tile;
}

void MainWindow::loadWindow()
{
    adjustSize();
    // Centred now by the window with its menu bar; once more when the
    // window manager has framed it (centreInFrameOnce).
    centreOnScreen(*this);
    for (int n = 1; n < Board::Blank; ++n) {
        tileLabels_[n] = makeTile(n);
        tileLabels_[n]->show();
    }
    tileLabels_[Board::Blank]->lower();
    for (int n = 1; n <= Board::Blank; ++n)
        tileLabels_[n]->setText(QString::number(n));
    // Lays the tiles out in the solved arrangement, then shuffles, before the
    // window is first shown: the player never sees the solved board.
    game_.load(static_cast<float>(design::ClientWidth), static_cast<float>(design::ClientHeight),
               static_cast<float>(design::StripHeight));
}

void MainWindow::centreInFrameOnce()
{
    // The window manager has framed the window: centre it once more, now by
    // the size with the frame. Later moves are the player's.
    if (!centredInFrame_ && frameGeometry().size() != size()) {
        centredInFrame_ = true;
        centreOnScreen(*this);
    }
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    centreInFrameOnce();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The frame may become known without a move (its size announced after
    // the window manager placed it); it is known by the time the framed
    // window is first exposed.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

// --- GameView -------------------------------------------------------------

void MainWindow::placeTile(int tile, TilePlace place, float width, float height)
{
    tileLabels_[tile]->setGeometry(twipsRect(place.left, place.top, width, height));
    accessibility::tileMoved(tileLabels_[tile]);
}

void MainWindow::tileSlid(int tile)
{
    accessibility::tileSlid(tileLabels_[tile]);
}

void MainWindow::newGameDealt()
{
    accessibility::newGame(this);
}

QString MainWindow::moveText() const
{
    return moveCount_->caption();
}

void MainWindow::setMoveText(const QString& text)
{
    moveCount_->setCaption(text);
}

QString MainWindow::timeText() const
{
    return clock_->caption();
}

void MainWindow::setTimeText(const QString& text)
{
    clock_->setCaption(text);
}

void MainWindow::setClockRunning(bool running)
{
    // A click while the clock runs leaves its period alone: restarting it on
    // every click would hold the clock back for a player who clicks quickly.
    if (!running)
        secondTimer_.stop();
    else if (!secondTimer_.isActive())
        secondTimer_.start();
}

void MainWindow::focusStrip()
{
    strip_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showResult(const QString& text)
{
    dialogs_.inform(this, text, QStringLiteral("Konec hry"));
}

void MainWindow::rankFinishedGame()
{
    rankGame();
}

bool MainWindow::yieldToEvents()
{
    // Before the window is first shown (the shuffle of loadWindow) nothing can
    // click, tick or press a key, and two hundred trips through the event
    // loop there would only delay the window.
    if (isVisible())
        QCoreApplication::processEvents();
    return !closing_;
}

// --- What clicks, keys, menus and the timer run ----------------------------

void MainWindow::surfaceClicked()
{
    dialogs_.beep();
}

void MainWindow::tileClicked(std::int16_t index)
{
    game_.tileClicked(index);
}

void MainWindow::clockTick()
{
    game_.clockTick();
}

void MainWindow::newGame()
{
    game_.newGame();
}

BestOfPanel* MainWindow::bestOfPanel()
{
    // Built when first asked for: until F2 or a finished game nothing shows
    // it, and building its 25 controls cost the start about a million
    // instructions. It comes last among the surface's children, above the
    // rest, where showAtCorner() would raise it anyway.
    if (!bestOfPanel_) {
        bestOfPanel_ = new BestOfPanel(surface_, dialogs_, scoreFile_);
        // What the panel covers leaves the screen reader's picture while it is shown.
        bestOfPanel_->installEventFilter(this);
    }
    return bestOfPanel_;
}

std::optional<Cell> MainWindow::cellShownBy(const QWidget* widget) const
{
    for (int tile = 1; tile <= Board::Blank; ++tile)
        if (tileLabels_[tile] == widget)
            return game_.board().cellOf(tile);
    return std::nullopt;
}

QWidget* MainWindow::coveringPanel() const
{
    return bestOfPanel_;
}

bool MainWindow::isRowTime(const QWidget* widget) const
{
    for (int i = 0; bestOfPanel_ && i < BestOfPanel::Rows; ++i)
        if (bestOfPanel_->timeInRow(i) == widget)
            return true;
    return false;
}

void MainWindow::bestOfCommand()
{
    bestOfPanel()->showAtCorner();
    bestOfPanel_->loadTable();
}

void MainWindow::quitCommand()
{
    close();
}

void MainWindow::rankGame()
{
    bestOfPanel()->rankGame(clock_->caption());
}

void MainWindow::helpCommand()
{
    dialogs_.inform(this, helpText(), QStringLiteral("Ovládání"));
}

void MainWindow::aboutCommand()
{
    dialogs_.inform(this, aboutText(), QStringLiteral("O aplikaci"));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A shuffle that yields to the event loop sees this and stops before its
    // next move; nothing is asked and nothing is saved.
    closing_ = true;
    secondTimer_.stop();
    QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose)
        centreInFrameOnce();
    if (watched == bestOfPanel_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        accessibility::coverChanged(this);
    // A click on the window's own surface: in play, the free cell, since the
    // tiles and the strip cover the rest and take their own clicks.
    if (watched == surface_
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        const LeftClick::Seen seen = surfaceClick_.take(*static_cast<QMouseEvent*>(event), surface_->rect());
        if (seen == LeftClick::Seen::Click)
            surfaceClicked();
        if (seen != LeftClick::Seen::Other)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tavlin
