#pragma once
// Every picture the client loads, with its resource path (without ":/").
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace picgen {

struct Picture {
    QString path;
    std::function<QImage()> draw;
};

std::vector<Picture> catalogue();

} // namespace picgen
