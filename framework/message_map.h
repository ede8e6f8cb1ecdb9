// Static per-class message maps. A class lists the messages it handles
// between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; its map is chained to the map
// of its base class, and each entry turns wParam and lParam into the typed
// arguments of its handler.
#pragma once

#include <windows.h>

class CWnd;

// Calls the handler of one entry on `window` and returns the message result.
using MessageHandler = LRESULT (*)(CWnd& window, WPARAM wParam, LPARAM lParam);

struct MessageMapEntry {
    UINT message;
    UINT notificationCode;  // WM_COMMAND only
    UINT controlId;         // WM_COMMAND only
    MessageHandler handler;  // null ends the entries
};

struct MessageMap {
    const MessageMap* (*base)();  // the base class's map; null at the root
    const MessageMapEntry* entries;
};

// In the class declaration; leaves the declarations that follow protected.
#define DECLARE_MESSAGE_MAP()                                  \
protected:                                                     \
    static const MessageMap* GetThisMessageMap();              \
    const MessageMap* GetMessageMap() const override;

// In the class's source file. The handlers are reached from within a member
// function, so they may be private.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                              \
    const MessageMap* theClass::GetMessageMap() const                       \
    {                                                                       \
        return GetThisMessageMap();                                         \
    }                                                                       \
    const MessageMap* theClass::GetThisMessageMap()                         \
    {                                                                       \
        using ThisClass [[maybe_unused]] = theClass;                        \
        using TheBaseClass = baseClass;                                     \
        static const MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                   \
            {0, 0, 0, nullptr}};                                            \
        static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                        \
    }

// void OnSysCommand(UINT id, LPARAM lParam)
#define ON_WM_SYSCOMMAND()                                                          \
    {WM_SYSCOMMAND, 0, 0, [](CWnd& window, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         static_cast<ThisClass&>(window).OnSysCommand(static_cast<UINT>(wParam), lParam); \
         return 0;                                                                  \
     }},

// void OnPaint()
#define ON_WM_PAINT()                                                     \
    {WM_PAINT, 0, 0, [](CWnd& window, WPARAM, LPARAM) -> LRESULT {       \
         static_cast<ThisClass&>(window).OnPaint();                       \
         return 0;                                                        \
     }},

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                   \
    {WM_QUERYDRAGICON, 0, 0, [](CWnd& window, WPARAM, LPARAM) -> LRESULT {     \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass&>(window).OnQueryDragIcon()); \
     }},

// void OnClose()
#define ON_WM_CLOSE()                                                     \
    {WM_CLOSE, 0, 0, [](CWnd& window, WPARAM, LPARAM) -> LRESULT {       \
         static_cast<ThisClass&>(window).OnClose();                       \
         return 0;                                                        \
     }},

// BOOL OnQueryEndSession(): FALSE asks Windows not to end the session now
#define ON_WM_QUERYENDSESSION()                                                 \
    {WM_QUERYENDSESSION, 0, 0, [](CWnd& window, WPARAM, LPARAM) -> LRESULT {   \
         return static_cast<ThisClass&>(window).OnQueryEndSession();            \
     }},

// void member() for a click on button `id`
#define ON_BN_CLICKED(id, member)                                             \
    {WM_COMMAND, BN_CLICKED, id, [](CWnd& window, WPARAM, LPARAM) -> LRESULT { \
         static_cast<ThisClass&>(window).member();                            \
         return 0;                                                            \
     }},
