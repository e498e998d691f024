#include "app/c_pelko_app.h"

int main(int argc, char **argv)
{
    CpelkoApp app(argc, argv);
    return app.InitInstance();
}
