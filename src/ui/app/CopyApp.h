#pragma once
// The application object: shows the one main window modally and ends the
// program when it closes. It also routes the help requests of the window.

#include <QElapsedTimer>

#include <cstdint>

class CCopyMainDlg;

class CCopyApp {
public:
    // Help commands: quit closes the help window, force-file opens the help
    // at its start.
    enum : unsigned { HELP_QUIT = 2, HELP_FORCEFILE = 9 };

    // startTimer runs since the program started (for the start-up figure).
    explicit CCopyApp(QElapsedTimer startTimer = {});
    ~CCopyApp();
    CCopyApp(const CCopyApp&) = delete;
    CCopyApp& operator=(const CCopyApp&) = delete;

    // The one instance while it exists, else null.
    static CCopyApp* Instance();

    // Installs the window's message boxes, runs the main window modally and
    // returns false (the program then ends). With the environment variable
    // TIDEWELL_EXIT_AFTER_PAINT set, the window closes itself right after its
    // first paint and the milliseconds since start are printed (bench use).
    bool InitInstance();

    // Help quit (2) is passed on unchanged; every other command opens the
    // program's help at its start (data ignored).
    void WinHelp(uintptr_t data, unsigned command);

    // The main window while it runs, else null.
    CCopyMainDlg* MainWindow() const { return m_pMainWnd; }

private:
    void ExitAfterFirstPaint(CCopyMainDlg& dlg);

    QElapsedTimer m_startTimer;
    CCopyMainDlg* m_pMainWnd = nullptr; // set while InitInstance runs it
};
