#pragma once
// What a command of the main window is: one row of the frame's table
// (gui/frame/MainFrameCommands.cpp), from which the frame makes its action,
// puts it into its menus and on the toolbar, runs it and enables it. The
// menus themselves are rows of a second table there.
#include <QKeySequence>
#include <QList>
#include <variant>

class CLinkController;
class CMainFrame;
class CPrintJob;
class CProgramView;
class QMenu;

// The window's menus as bits, so that one item can stand in several: the two
// File, View and Help menus (without and with a document) hold mostly the
// same commands, the Edit menu and the grid's context menu share theirs.
enum CommandMenu : unsigned {
    kNoDocMenuBar = 1u << 0,  // the menu bar while no document exists (menu 128)
    kDocMenuBar = 1u << 1,    // the menu bar with a document (menu 129)
    kFileMenu = 1u << 2,
    kViewMenu = 1u << 3,
    kHelpMenu = 1u << 4,
    kDocFileMenu = 1u << 5,
    kEditMenu = 1u << 6,
    kProgramMenu = 1u << 7,
    kDocViewMenu = 1u << 8,
    kSetupMenu = 1u << 9,
    kWindowMenu = 1u << 10,
    kDocHelpMenu = 1u << 11,
    kRecentMenu = 1u << 12,
    kImportMenu = 1u << 13,
    kStockMenu = 1u << 14,
    kSortMenu = 1u << 15,
    kFillSeriesMenu = 1u << 16,
    kGridMenu = 1u << 17,
};

// Where an item stands: in every menu of `menus`, ordered by `at`, which is
// group * 10 + rank; a separator parts two groups.
struct CommandPlace {
    unsigned menus = 0;
    int at = 0;
};

// When a command is enabled; the frame brings it up to date with the window in front.
enum class CommandEnable {
    Always,              // never disabled
    View,                // a document window is on show
    Document,            // the window in front has a document
    MayChange,           // ...that takes changes: no transfer runs on it
    Undo,                // MayChange, and its undo stack has a step to take back
    Redo,                // MayChange, and a step undone to do again
    ProductInformation,  // a window on show, or none at all (the choice for new documents)
};

// Which check mark a command shows.
enum class CommandCheck {
    None,           // not checkable
    ByHandler,      // its handler sets it
    ToolBar,        // the toolbar is shown
    StatusBar,      // the status bar is shown
    NavigationBar,  // the navigation bar is shown
};

// What runs a command: the frame (told whether the action is now checked), or
// the view, the link or a print job of the window in front, when one is shown.
using FrameCommand = void (*)(CMainFrame& frame, bool checked);
using CommandHandler =
    std::variant<FrameCommand, void (CProgramView::*)(), void (CLinkController::*)(), void (CPrintJob::*)()>;

struct CommandRow {
    int id;                 // gui/app/CommandIds.h: also its help topic
    const char* text;       // tr() source texts, context CMainFrame
    const char* toolTip;    // nullptr: the text without its "&"
    const char* statusTip;  //
    QList<QKeySequence> keys;
    CommandPlace menu;
    const char* icon;  // on the toolbar with :/icons/<icon>.png, at toolAt; nullptr: not on it
    int toolAt;
    CommandEnable enable;
    CommandCheck check;
    CommandHandler handler;
};

// What a menu does besides holding its items.
enum MenuTrait : unsigned {
    kOnePerPlace = 1u << 0,    // a submenu of its own in each menu it stands in, else one menu of the frame
    kHelpKeys = 1u << 1,       // F1 over an item opens that command's topic
    kRefreshOnShow = 1u << 2,  // enabling and check marks brought up to date as it opens
};

struct MenuRow {
    CommandMenu menu;
    const char* objectName;
    const char* title;  // tr() source text, context CMainFrame; nullptr: none
    CommandPlace place;
    unsigned traits;
    void (*fill)(CMainFrame& frame, QMenu* menu);  // what it adds each time it opens; nullptr: nothing
    const char* actionName = nullptr;              // the object name of its entry in the menus it stands in
};
