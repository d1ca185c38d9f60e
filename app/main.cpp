// plotra: the desktop window that converts NC programs into DXF drawings.
#include <exception>
#include <string>
#include <vector>

#include "app/Look.h"
#include "app/PlotraApplication.h"
#include "app/Plotra_.h"
#include "app/StopSignals.h"

int main(int argc, char** argv) {
    PlotraApplication application(argc, argv);
    try {
        QApplication::setFont(WindowFont());
        // Qt has taken its own options out of argv by now.
        TForm1 form(std::vector<std::string>(argv + 1, argv + argc));
        const StopSignals stopSignals(form);
        form.show();
        PlotraApplication::exec();
    } catch (const std::exception& error) {
        PlotraApplication::showError(error.what());
    }
    return 0;
}
