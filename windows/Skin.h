#pragma once

// The skin that both windows wear: its pictures, colours, pointer and typefaces.

#include "toolkit/Types.h"

namespace skin {

using forms::Color;
using forms::Picture;
using forms::rgb;

inline constexpr Color kBackground = rgb(0xEA, 0xD6, 0xC2);
inline constexpr Color kButtonFace = rgb(0x9A, 0x6B, 0x34);
inline constexpr Color kButtonHover = rgb(0x82, 0x51, 0x16);
inline constexpr Color kErrorBox = rgb(0xFF, 0x80, 0x00);
inline constexpr Color kNormalBox = rgb(0xFF, 0xFF, 0xFF);
inline constexpr Color kFocusBox = kBackground;
inline constexpr Color kTitleText = rgb(0xFF, 0xFF, 0xFF);
inline constexpr Color kTitleHover = rgb(0x80, 0x80, 0xFF);
inline constexpr Color kAlertTitle = rgb(0xFF, 0x00, 0x00);
inline constexpr Color kResultValue = rgb(0x00, 0x00, 0xFF);
inline constexpr Color kWhite = rgb(0xFF, 0xFF, 0xFF);

inline const Picture edge{"edge"};
inline const Picture cornerTopLeft{"corner-top-left"};
inline const Picture cornerTopRight{"corner-top-right"};
inline const Picture cornerBottomLeft{"corner-bottom-left"};
inline const Picture cornerBottomRight{"corner-bottom-right"};
inline const Picture titleStrip{"title-strip"};
inline const Picture logo{"logo"};
inline const Picture minimiseGlyph{"glyph-minimise"};
inline const Picture closeGlyph{"glyph-close"};
inline const Picture handPointer{"hand-pointer"};

inline const Picture calculateNormal{"face-calculate-normal"};
inline const Picture calculateHover{"face-calculate-hover"};
inline const Picture calculateMuted{"face-calculate-muted"};
inline const Picture backNormal{"face-back-normal"};
inline const Picture backHover{"face-back-hover"};
inline const Picture backMuted{"face-back-muted"};
inline const Picture exitNormal{"face-exit-normal"};
inline const Picture exitHover{"face-exit-hover"};
inline const Picture exitMuted{"face-exit-muted"};
inline const Picture okNormal{"face-ok-normal"};
inline const Picture okMuted{"face-ok-muted"};

inline const forms::Font kPanelFont{"MS Sans Serif", 13.5f, true};
inline const forms::Font kBoxFont{"MS Sans Serif", 13.5f, false};
inline const forms::Font kTitleFont{"Georgia", 8.25f, false};
inline const forms::Font kAlertFont{"MS Sans Serif", 9.75f, true};

} // namespace skin
