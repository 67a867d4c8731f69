// Bitmap: an image the host has loaded (a bitmap texture's file, read). The pixels are the
// host's; what the module asks of a bitmap is whether there is one and its size.
#pragma once

class Bitmap {
public:
    virtual ~Bitmap() = default;
    virtual int Width() = 0;
    virtual int Height() = 0;
};
