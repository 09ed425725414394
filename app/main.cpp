#include "app/CommandLine.h"
#include "toolkit/Application.h"
#include "windows/main/FormMain.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (const auto reply = commandLineReply({argv, static_cast<std::size_t>(argc)})) {
        std::fputs(reply->text.c_str(), reply->status == 0 ? stdout : stderr);
        return reply->status;
    }
    forms::Application application(argc, argv);
    FormMain formMain;
    return application.run(formMain);
}
