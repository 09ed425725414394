#include "toolkit/Application.h"
#include "windows/main/FormMain.h"

int main(int argc, char** argv) {
    forms::Application application(argc, argv);
    FormMain formMain;
    return application.run(formMain);
}
