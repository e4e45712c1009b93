#pragma once

#include <QImage>

// The about dialog's picture: a cup over four boules, 60 x 60 pixels in the 16 colours of
// the classic palette.
QImage velmorinEmblem();
