#include "app/CommandLine.h"
#include "toolkit/Application.h"
#include "windows/main/FormMain.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (const auto reply = commandLineReply({argv, static_cast<std::size_t>(argc)})) {
        std::fputs(reply->c_str(), stdout);
        return 0;
    }
    forms::Application application(argc, argv);
    FormMain formMain;
    return application.run(formMain);
}
