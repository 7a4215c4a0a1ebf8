// The caps animations of "CapsAnimation.dat": for each of the 17 kinds of
// cap, the frame rectangles it cuts from its texture and the track of frame
// numbers a cap steps through.
//
// Grammar, keywords in any case:
//   TEXTURESIZE width height
//   FRAME n uLeft vTop uRight vBottom     (texels; n counts 0, 1, 2, ...)
//   TRACK ( f1 f2 ... )                   (each f names a frame above)
#pragma once

#include <string>
#include <vector>

class CTextReader;

struct CapFrame {
    float uLeft = 0, vTop = 0, uRight = 0, vBottom = 0;
};

class CCapsAnimation {
public:
    static constexpr int kCount = 17;

    CCapsAnimation();

    // Parses the next animation; false after logging why not.
    bool Load(CTextReader& reader);

    std::vector<CapFrame> frames;
    std::vector<int> track; // never empty once loaded
};

// All 17 animations from `folder` + "CapsAnimation.dat" into `out`, appended
// one by one, so a failure leaves those read before it. False after logging.
bool LoadCapsAnimations(const std::string& folder, std::vector<CCapsAnimation>* out);
