#include "skin/dialog_placement.h"

DialogPoint SkinnedDialogOrigin(std::optional<DialogPoint> ownerTopLeft, int screenWidth, int screenHeight,
                                int width, int height) {
    if (ownerTopLeft) return *ownerTopLeft;
    return DialogPoint{(screenWidth - width) / 2, (screenHeight - height) / 2};
}
