// Drives setup.exe from outside, as a user would: starts it as another process in its own
// folder, finds its controls by the names their windows carry (ui/control_names.h), clicks,
// ticks, answers its message boxes and waits for it to end. Every step is printed; the first
// one that fails ends the driver with status 1.
//
//   e2e_driver.exe [--timeout SECONDS] [--handshake FOLDER] [--args TEXT] PROGRAM.exe STEP...
//
// PROGRAM runs with its own folder as working directory. Steps, NAME being a control's name
// (a control of the main window, a named top-level window of the program such as "Form2", or
// WINDOW.NAME for a control of that top-level window, e.g. Form2.BitBtn2):
//   window              wait for the main window ("Form1") of the program
//   visible:NAME        wait until the control is visible (hidden:NAME: until it is not)
//   enabled:NAME        wait until the control takes input (disabled:NAME: until it does not)
//   click:NAME          wait until visible and enabled, then click the button
//   radio:NAME          click the radio button and wait until it is checked
//   tick:NAME:INDEX     tick item INDEX of the check list and wait until it is ticked
//   text:NAME:TEXT      wait until the control's text contains TEXT
//   key:NAME:KEY[,KEY]  press keys in the control (down, up, right, left, home, end, return)
//   pick:TREE:LABEL:PATH  with the keyboard, select folder PATH in the folder tree TREE whose
//                       linked LABEL shows the selected folder, a backslash and one more name
//   boxshown            wait for a message box of the program
//   box:BUTTON[:TEXT]   wait for a message box of the program, print it, check that its text
//                       contains TEXT, press BUTTON (ok, yes, no, cancel)
//   texts               print every text the program's windows show now, a line each
//                       ("      shows: TEXT"): captions, controls, list and combo box items
//   close               ask the main window to close
//   nowindow            check that the program shows no main window at this moment
//   exit:CODE           wait until the program has ended with CODE
//   closewin:TEXT       wait for a window of any program whose title contains TEXT, close it
//   shot:NAME           write FOLDER\NAME.ready, wait for FOLDER\NAME.done (the screen is
//                       photographed from outside meanwhile)
//   sleep:MS            wait MS milliseconds
//   type:NAME:TEXT      put TEXT into the control's text field, as a paste would
//   hold:PATH           open the file PATH as another program would that uses it (others may
//                       read it but not delete it) and keep it open until the driver ends
// Steps for timing (bench/install_wine); a lap is measured from the last mark, or from just
// before the program was started:
//   poll:MS             look every MS milliseconds in the waits that follow (default 50)
//   mark                note the time
//   lap:LABEL           print "lap LABEL SECONDS" since the mark
//   idle                wait until the program waits for input (WaitForInputIdle)
//   painted             wait until the main window and its visible controls have nothing left
//                       to paint
// With --args TEXT the program's command line gets TEXT after its name.
#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/control_names.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

void Say(const std::wstring& text) {
    const std::string line = Utf8(text) + "\n";
    fwrite(line.data(), 1, line.size(), stdout);
    fflush(stdout);
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[4096];
    DWORD_PTR length = 0;
    // Sent, not read from the window structure: edit controls keep their text to themselves.
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    return std::wstring(buffer, length);
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256];
    const int length = GetClassNameW(window, buffer, 256);
    return std::wstring(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

class Driver {
  public:
    Driver(double timeout, std::wstring handshake, std::wstring args)
        : timeout_(timeout), handshake_(std::move(handshake)), args_(std::move(args)) {}

    bool Start(const std::wstring& program) {
        std::wstring folder = program;
        const size_t slash = folder.find_last_of(L"\\/");
        folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash);
        std::wstring command = L"\"" + program + L"\"";
        if (!args_.empty()) command += L" " + args_;
        mark_ = Clock::now();
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &process_)) {
            Say(L"cannot start " + program + L": error " + std::to_wstring(GetLastError()));
            return false;
        }
        Say(L"started " + program + L" in " + folder);
        return true;
    }

    ~Driver() {
        if (!process_.hProcess) return;
        // A failed run must not leave the program behind for the next one.
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            Say(L"the program was still running: terminated");
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        for (HANDLE file : held_) CloseHandle(file);
    }

    bool Run(const std::wstring& step) {
        const size_t colon = step.find(L':');
        const std::wstring verb = step.substr(0, colon);
        const std::wstring arg = colon == std::wstring::npos ? L"" : step.substr(colon + 1);
        if (verb == L"window") return Wait(step, [&] { return MainWindow() != nullptr; });
        if (verb == L"visible") return Wait(step, [&] { return Visible(Control(arg)); });
        if (verb == L"hidden") return Wait(step, [&] { return !Visible(Control(arg)); });
        if (verb == L"enabled")
            return Wait(step,
                        [&] { return Visible(Control(arg)) && IsWindowEnabled(Control(arg)); });
        if (verb == L"disabled")
            return Wait(step, [&] { return Control(arg) && !IsWindowEnabled(Control(arg)); });
        if (verb == L"click") return Click(step, arg);
        if (verb == L"radio") return Radio(step, arg);
        if (verb == L"tick") return Tick(step, arg);
        if (verb == L"text") return Text(step, arg);
        if (verb == L"key") return Keys(step, arg);
        if (verb == L"pick") return Pick(step, arg);
        if (verb == L"box") return Box(step, arg);
        if (verb == L"boxshown") return Wait(step, [&] { return MessageBoxWindow() != nullptr; });
        if (verb == L"texts") return Texts(step);
        if (verb == L"close") {
            HWND main = MainWindow();
            return Done(step, main && PostMessageW(main, WM_CLOSE, 0, 0));
        }
        if (verb == L"exit") return Exit(step, arg);
        if (verb == L"type") {
            const size_t colon = arg.find(L':');
            const std::wstring name = arg.substr(0, colon);
            if (!Wait(step + L" (ready)", [&] { return Visible(Control(name)); })) return false;
            const std::wstring text = colon == std::wstring::npos ? L"" : arg.substr(colon + 1);
            // Into an edit field as a paste puts it, so its owner hears of the change.
            HWND control = Control(name);
            HWND field = FindWindowExW(control, nullptr, L"Edit", nullptr);
            if (!field) return Done(step, SetWindowTextW(control, text.c_str()) != 0);
            SendMessageW(field, EM_SETSEL, 0, -1);
            SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
            return Done(step, true);
        }
        if (verb == L"hold") {
            HANDLE file = CreateFileW(arg.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) held_.push_back(file);
            return Done(step, file != INVALID_HANDLE_VALUE);
        }
        if (verb == L"nowindow") return Done(step, MainWindow() == nullptr);
        if (verb == L"closewin") return CloseOther(step, arg);
        if (verb == L"shot") return Shot(step, arg);
        if (verb == L"poll") {
            poll_ms_ = _wtoi(arg.c_str());
            return Done(step, poll_ms_ > 0);
        }
        if (verb == L"mark") {
            mark_ = Clock::now();
            return Done(step, true);
        }
        if (verb == L"lap") {
            const std::chrono::duration<double> lap = Clock::now() - mark_;
            wchar_t seconds[32];
            swprintf(seconds, 32, L"%.4f", lap.count());
            Say(L"lap " + arg + L" " + seconds);
            return Done(step, true);
        }
        if (verb == L"idle") {
            const DWORD wait = static_cast<DWORD>(timeout_ * 1000);
            return Done(step, WaitForInputIdle(process_.hProcess, wait) == 0);
        }
        if (verb == L"painted") return Wait(step, [&] { return Painted(); });
        if (verb == L"sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(_wtoi(arg.c_str())));
            return Done(step, true);
        }
        return Done(step + L" (unknown step)", false);
    }

  private:
    bool Done(const std::wstring& step, bool ok) {
        Say((ok ? L"ok    " : L"FAIL  ") + step);
        return ok;
    }

    bool Wait(const std::wstring& step, const std::function<bool()>& ready) {
        const auto give_up =
            Clock::now() + std::chrono::milliseconds(static_cast<long long>(timeout_ * 1000));
        while (!ready()) {
            if (Clock::now() > give_up) return Done(step + L" (timed out)", false);
            std::this_thread::sleep_for(std::chrono::milliseconds(poll_ms_));
        }
        return Done(step, true);
    }

    // The window system keeps what is left to paint per window; another process may ask.
    bool Painted() const {
        HWND main = MainWindow();
        if (!main || GetUpdateRect(main, nullptr, FALSE)) return false;
        bool clean = true;
        EnumChildWindows(
            main,
            [](HWND child, LPARAM data) -> BOOL {
                if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE))
                    *reinterpret_cast<bool*>(data) = false;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&clean));
        return clean;
    }

    // The program's top-level windows, visible ones only.
    std::vector<HWND> TopLevels() const {
        struct Search {
            DWORD pid;
            std::vector<HWND> found;
        } search{process_.dwProcessId, {}};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD pid = 0;
                GetWindowThreadProcessId(window, &pid);
                if (pid == s->pid && IsWindowVisible(window)) s->found.push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND MainWindow() const {
        for (HWND window : TopLevels())
            if (ui::ControlName(window) == "Form1") return window;
        return nullptr;
    }

    HWND TopLevelNamed(const std::string& name) const {
        for (HWND window : TopLevels())
            if (ui::ControlName(window) == name) return window;
        return nullptr;
    }

    HWND Control(const std::wstring& name) const {
        const size_t dot = name.find(L'.');
        if (dot != std::wstring::npos) {
            HWND top = TopLevelNamed(Utf8(name.substr(0, dot)));
            return top ? ui::FindControl(top, Utf8(name.substr(dot + 1))) : nullptr;
        }
        HWND main = MainWindow();
        HWND found = main ? ui::FindControl(main, Utf8(name)) : nullptr;
        return found ? found : TopLevelNamed(Utf8(name));
    }

    static bool Visible(HWND window) { return window && IsWindowVisible(window); }

    bool Click(const std::wstring& step, const std::wstring& name) {
        if (!Wait(step + L" (ready)", [&] {
                HWND c = Control(name);
                return Visible(c) && IsWindowEnabled(c);
            }))
            return false;
        // Posted: the click may open a modal box, which would hold a sent message.
        return Done(step, PostMessageW(Control(name), BM_CLICK, 0, 0));
    }

    bool Radio(const std::wstring& step, const std::wstring& name) {
        if (!Click(step, name)) return false;
        return Wait(step + L" (checked)",
                    [&] { return SendMessageW(Control(name), BM_GETCHECK, 0, 0) == BST_CHECKED; });
    }

    bool Tick(const std::wstring& step, const std::wstring& arg) {
        const size_t colon = arg.find(L':');
        const std::wstring name = arg.substr(0, colon);
        const int index = colon == std::wstring::npos ? 0 : _wtoi(arg.c_str() + colon + 1);
        if (!Wait(step + L" (ready)", [&] { return Visible(Control(name)); })) return false;
        HWND list = Control(name);
        const auto top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        const auto height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
        // A click on the item's check box at its left edge, as the mouse would make it.
        const LPARAM point = MAKELPARAM(3, (index - top) * height + height / 2);
        PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(list, WM_LBUTTONUP, 0, point);
        return Wait(step, [&] { return SendMessageW(list, LB_GETITEMDATA, index, 0) > 0; });
    }

    bool Text(const std::wstring& step, const std::wstring& arg) {
        const size_t colon = arg.find(L':');
        const std::wstring name = arg.substr(0, colon);
        const std::wstring want = colon == std::wstring::npos ? L"" : arg.substr(colon + 1);
        std::wstring seen;
        const bool ok = Wait(step, [&] {
            seen = Control(name) ? WindowText(Control(name)) : L"";
            return seen.find(want) != std::wstring::npos;
        });
        if (!ok) Say(L"      text of " + name + L": " + seen);
        return ok;
    }

    static UINT KeyCode(const std::wstring& name) {
        static const std::pair<const wchar_t*, UINT> keys[] = {
            {L"down", VK_DOWN}, {L"up", VK_UP},   {L"right", VK_RIGHT},   {L"left", VK_LEFT},
            {L"home", VK_HOME}, {L"end", VK_END}, {L"return", VK_RETURN},
        };
        for (const auto& [text, code] : keys)
            if (name == text) return code;
        return 0;
    }

    // Posted, as the keyboard would deliver it: a key may open a modal window.
    static void Press(HWND window, UINT key) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    }

    bool Keys(const std::wstring& step, const std::wstring& arg) {
        const size_t colon = arg.find(L':');
        const std::wstring name = arg.substr(0, colon);
        if (colon == std::wstring::npos) return Done(step + L" (no keys)", false);
        if (!Wait(step + L" (ready)", [&] { return Visible(Control(name)); })) return false;
        std::wstring keys = arg.substr(colon + 1) + L",";
        for (size_t start = 0, end; (end = keys.find(L',', start)) != std::wstring::npos;
             start = end + 1) {
            const UINT key = KeyCode(keys.substr(start, end - start));
            if (!key) return Done(step + L" (unknown key)", false);
            Press(Control(name), key);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return Done(step, true);
    }

    // Down the tree one level at a time, as a user with the keyboard: Right opens the selected
    // folder and then steps into it, Down walks its sub-folders until the wanted one is
    // selected. The tree's items cannot be read from another process; the label can.
    bool Pick(const std::wstring& step, const std::wstring& arg) {
        const size_t first = arg.find(L':');
        const size_t second = first == std::wstring::npos ? first : arg.find(L':', first + 1);
        if (second == std::wstring::npos) return Done(step + L" (TREE:LABEL:PATH)", false);
        const std::wstring tree = arg.substr(0, first);
        const std::wstring label = arg.substr(first + 1, second - first - 1);
        const std::wstring path = arg.substr(second + 1);
        if (!Wait(step + L" (ready)", [&] { return Visible(Control(tree)); })) return false;
        auto lower = [](std::wstring text) {
            CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
            return text;
        };
        auto selected = [&] {
            const std::wstring text = Control(label) ? WindowText(Control(label)) : L"";
            const size_t slash = text.rfind(L'\\');
            return slash == std::wstring::npos ? std::wstring() : lower(text.substr(0, slash));
        };
        auto caret = [&] { return SendMessageW(Control(tree), TVM_GETNEXTITEM, TVGN_CARET, 0); };
        auto until = [&](const std::function<bool()>& ready) {
            const auto give_up = Clock::now() + std::chrono::seconds(3);
            while (!ready()) {
                if (Clock::now() > give_up) return false;
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            }
            return true;
        };
        auto move = [&](UINT key) {
            const std::wstring before = selected();
            Press(Control(tree), key);
            return until([&] { return selected() != before; });
        };
        Press(Control(tree), VK_HOME);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::wstring want;
        for (size_t start = 0; start <= path.size();) {
            size_t end = path.find(L'\\', start);
            if (end == std::wstring::npos) end = path.size();
            const std::wstring parent = want;
            want = lower(path.substr(0, end));
            if (!parent.empty()) {
                const auto item = caret();
                auto open = [&] {
                    return (SendMessageW(Control(tree), TVM_GETITEMSTATE, item, TVIS_EXPANDED) &
                            TVIS_EXPANDED) != 0;
                };
                if (!open()) Press(Control(tree), VK_RIGHT);
                if (!until(open) ||
                    !SendMessageW(Control(tree), TVM_GETNEXTITEM, TVGN_CHILD, item) ||
                    !move(VK_RIGHT))
                    return Done(step + L" (" + parent + L" does not open)", false);
            }
            until([&] { return !selected().empty(); });
            while (selected() != want) {
                const std::wstring here = selected();
                if (!parent.empty() && here.compare(0, parent.size() + 1, parent + L"\\") != 0)
                    return Done(step + L" (no " + want + L")", false);
                if (!move(VK_DOWN))
                    return Done(step + L" (no " + want + L", at " + here + L")", false);
            }
            start = end + 1;
        }
        return Done(step + L" (" + selected() + L")", true);
    }

    // A message box is a dialog of the system's dialog class; its text is a static control.
    HWND MessageBoxWindow() const {
        for (HWND window : TopLevels())
            if (ClassOf(window) == L"#32770") return window;
        return nullptr;
    }

    static std::wstring BoxText(HWND box) {
        std::wstring text;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (ClassOf(child) == L"Static") text += WindowText(child);
        return text;
    }

    // The text of a window and, for list and combo boxes, of their items.
    static std::vector<std::wstring> Shown(HWND window) {
        std::vector<std::wstring> texts = {WindowText(window)};
        const std::wstring kind = ClassOf(window);
        const bool list = kind == L"ListBox", combo = kind == L"ComboBox";
        if (!list && !combo) return texts;
        const LRESULT count = SendMessageW(window, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t item[1024] = L"";
            const LRESULT length =
                SendMessageW(window, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, i, 0);
            if (length > 0 && length < 1024)
                SendMessageW(window, list ? LB_GETTEXT : CB_GETLBTEXT, i,
                             reinterpret_cast<LPARAM>(item));
            texts.push_back(item);
        }
        return texts;
    }

    bool Texts(const std::wstring& step) {
        std::vector<HWND> windows;
        for (HWND top : TopLevels()) {
            windows.push_back(top);
            EnumChildWindows(
                top,
                [](HWND child, LPARAM data) -> BOOL {
                    if (IsWindowVisible(child))
                        reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&windows));
        }
        for (HWND window : windows)
            for (const std::wstring& text : Shown(window))
                for (size_t start = 0; start < text.size();) {
                    size_t end = text.find_first_of(L"\r\n", start);
                    if (end == std::wstring::npos) end = text.size();
                    if (end > start) Say(L"      shows: " + text.substr(start, end - start));
                    start = end + 1;
                }
        return Done(step, !windows.empty());
    }

    bool Box(const std::wstring& step, const std::wstring& arg) {
        const size_t colon = arg.find(L':');
        const std::wstring button = arg.substr(0, colon);
        const std::wstring want = colon == std::wstring::npos ? L"" : arg.substr(colon + 1);
        int id = 0;
        if (button == L"ok") id = IDOK;
        if (button == L"yes") id = IDYES;
        if (button == L"no") id = IDNO;
        if (button == L"cancel") id = IDCANCEL;
        if (!id) return Done(step + L" (unknown button)", false);
        if (!Wait(step + L" (appears)", [&] { return MessageBoxWindow() != nullptr; }))
            return false;
        HWND box = MessageBoxWindow();
        const std::wstring text = BoxText(box);
        Say(L"      box \"" + WindowText(box) + L"\": " + text);
        if (text.find(want) == std::wstring::npos) return Done(step + L" (other text)", false);
        HWND press = GetDlgItem(box, id);
        if (!press) return Done(step + L" (no such button)", false);
        PostMessageW(press, BM_CLICK, 0, 0);
        return Wait(step, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
    }

    bool Exit(const std::wstring& step, const std::wstring& arg) {
        const DWORD wait = static_cast<DWORD>(timeout_ * 1000);
        if (WaitForSingleObject(process_.hProcess, wait) != WAIT_OBJECT_0) {
            // What the program still shows says why it goes on.
            for (HWND window : TopLevels())
                Say(L"      open window " + ClassOf(window) + L" \"" + WindowText(window) +
                    L"\": " + BoxText(window));
            return Done(step + L" (still running)", false);
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        const bool ok = arg.empty() || code == static_cast<DWORD>(_wtoi(arg.c_str()));
        return Done(step + L" (exit code " + std::to_wstring(code) + L")", ok);
    }

    bool CloseOther(const std::wstring& step, const std::wstring& want) {
        struct Search {
            std::wstring want;
            HWND found = nullptr;
        } search{want};
        const bool ok = Wait(step, [&] {
            EnumWindows(
                [](HWND window, LPARAM data) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(data);
                    wchar_t title[512];
                    const int n = GetWindowTextW(window, title, 512);
                    if (IsWindowVisible(window) && n > 0 &&
                        std::wstring(title, static_cast<size_t>(n)).find(s->want) !=
                            std::wstring::npos) {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        });
        if (!ok) return false;
        wchar_t title[512];
        GetWindowTextW(search.found, title, 512);
        Say(L"      closing \"" + std::wstring(title) + L"\"");
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        return true;
    }

    bool Shot(const std::wstring& step, const std::wstring& name) {
        if (handshake_.empty()) return Done(step + L" (no --handshake folder)", false);
        std::this_thread::sleep_for(std::chrono::milliseconds(700)); // let the window repaint
        const std::wstring ready = handshake_ + L"\\" + name + L".ready";
        const std::wstring done = handshake_ + L"\\" + name + L".done";
        HANDLE file = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return Done(step + L" (cannot write " + ready + L")", false);
        CloseHandle(file);
        return Wait(step,
                    [&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; });
    }

    double timeout_;
    std::wstring handshake_;
    std::wstring args_;
    int poll_ms_ = 50;
    Clock::time_point mark_ = Clock::now();
    PROCESS_INFORMATION process_{};
    std::vector<HANDLE> held_;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    double timeout = 30;
    std::wstring handshake;
    std::wstring args;
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == L'-'; i += 2) {
        const std::wstring option = argv[i];
        if (option == L"--timeout")
            timeout = _wtof(argv[i + 1]);
        else if (option == L"--handshake")
            handshake = argv[i + 1];
        else if (option == L"--args")
            args = argv[i + 1];
        else
            break;
    }
    if (i >= argc || argv[i][0] == L'-') {
        Say(L"usage: e2e_driver [--timeout SECONDS] [--handshake FOLDER] [--args TEXT] "
            L"PROGRAM.exe STEP...");
        return 2;
    }
    Driver driver(timeout, handshake, args);
    if (!driver.Start(argv[i])) return 1;
    for (++i; i < argc; ++i)
        if (!driver.Run(argv[i])) return 1;
    Say(L"all steps done");
    return 0;
}
