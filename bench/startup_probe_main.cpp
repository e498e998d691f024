#include "app/c_pelko_app.h"
#include "bench/startup_probe.h"

// pelko as shipped, watched by the start-up probe.
int main(int argc, char **argv)
{
    CpelkoApp app(argc, argv);
    StartupProbe probe;
    app.installEventFilter(&probe);
    return app.InitInstance();
}
