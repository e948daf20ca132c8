// SPDX-License-Identifier: MIT
// The sizing arithmetic of the picture viewers, in twips.
#pragma once

namespace nupew {

// The difference between a viewer's outer width and its picture, and the
// heights added to the picture for the outer height.
inline constexpr float kFrameWidth = 127.0f;
inline constexpr float kFrameHeightOpen = 412.0f;
inline constexpr float kFrameHeight = 421.0f;

struct ViewerGeometry {
    float outerWidth = 0.0f;
    float outerHeight = 0.0f;
    float pictureWidth = 0.0f;
    float pictureHeight = 0.0f;
    bool normal = true; // neither minimized nor maximized

    // The resize rule: the picture takes the window's width less the frame and
    // keeps its aspect ratio; a normal window's height follows the picture.
    void Resize() {
        const float w0 = pictureWidth;
        const float h0 = pictureHeight;
        pictureWidth = outerWidth - kFrameWidth;
        if (w0 > 0.0f) {
            pictureHeight = h0 * pictureWidth / w0; // a picture without width keeps its height
        }
        if (normal) {
            outerHeight = pictureHeight + kFrameHeight;
        }
    }
    void SetOuterWidth(float width) {
        outerWidth = width;
        Resize();
    }
    void SetOuterHeight(float height) {
        outerHeight = height;
        Resize();
    }

    // Sizes the viewer for a newly opened picture of the given size: a new
    // viewer fits the picture; one that was open keeps its width
    // (`openingWidth`) and scales the picture to it, its height following the
    // picture while the board is in its normal state.
    void Open(float openingWidth, float width, float height, bool wasVisible, bool boardNormal) {
        pictureWidth = width;
        pictureHeight = height;
        SetOuterWidth(pictureWidth + kFrameWidth);
        SetOuterHeight(pictureHeight + kFrameHeightOpen);
        if (wasVisible) {
            const float w = pictureWidth;
            const float h = pictureHeight;
            SetOuterWidth(openingWidth);
            if (w > 0.0f) {
                SetOuterHeight(h * openingWidth / w);
            }
            if (boardNormal) {
                SetOuterHeight(pictureHeight + kFrameHeight);
            }
        }
    }
};

} // namespace nupew
