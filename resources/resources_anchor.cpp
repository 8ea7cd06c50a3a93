// Static libraries drop unreferenced objects; the client calls this to keep the
// compiled-in resources linked.
#include <QtGlobal>
#include <QDir>

static void initVintaroQrc()
{
}

void vintaroInitResources()
{
    initVintaroQrc();
}
