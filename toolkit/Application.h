#pragma once

#include <functional>
#include <memory>
#include <string>

namespace forms {

class Form;

// The program's one toolkit instance: create it first in main, then show the start-up window and run.
class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    int run();
    // Shows the start-up window, taking the uncaught-error path for an error of its load handler, then runs.
    int run(Form& startup);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Runs an event handler; an error escaping it takes the uncaught-error path: a message box names the
// error and the process ends with a non-zero status.
void deliver(const std::function<void()>& handler);

// The uncaught-error box's text for the error's message.
std::string errorBoxText(const std::string& message);

// Whether run(Form&) is delivering events: the program then ends when its last form unloads.
bool applicationRunning();

// Ends the process at once with status 0: no further handler runs and every window goes with it.
[[noreturn]] void endProcess();

// Asks the desktop to open an address with the user's default handler; the result is not examined.
void openUrl(const std::string& address);

} // namespace forms
