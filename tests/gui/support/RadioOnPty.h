#pragma once
// The simulated radio serves a pseudo-terminal, which Windows has not: a
// window test that talks to one is skipped there, and says why.
#include <QtTest>

#ifdef _WIN32
#define OPEN_SIMULATED_RADIO(radio) \
    QSKIP("the simulated radio serves a pseudo-terminal, which Windows has not (the Wine run drives one on Linux)")
#else
#define OPEN_SIMULATED_RADIO(radio) QVERIFY((radio).OpenPty())
#endif

// For a test class whose every test talks to a simulated radio: its initTestCase.
#ifdef _WIN32
#define SKIP_CLASS_WITHOUT_PTY() \
    QSKIP("every test here talks to the simulated radio on a pseudo-terminal, which Windows has not")
#else
#define SKIP_CLASS_WITHOUT_PTY() \
    do {                         \
    } while (false)
#endif
