// Static libraries drop unreferenced objects; the client calls this to keep the
// compiled-in resources linked.
#include <QtGlobal>
#include <QDir>

static void initVintaroQrc()
{
    Q_INIT_RESOURCE(flanges);
}

void vintaroInitResources()
{
    initVintaroQrc();
}
