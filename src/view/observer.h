// The observer: a free-flying eye with its turn angles and the view angles
// and scale of the perspective projection. A fresh Observer is the
// program-start state.
#pragma once

namespace view {

struct Observer {
    float XAuge = 0, YAuge = 0;
    float ZAuge = -4.476e11f;   // -3 AU: behind the origin, looking at it
    float VAuge = 5e9f;         // m per movement key press
    float XDREH = 0;            // turn to the right, degrees
    float YDREH = 0;            // turn upwards, degrees
    float ZDre = 0;             // swing added to the yaw, degrees
    float turnStep = 1;         // degrees per turn key press
    float wi_x = 0, wi_y = 0;   // yaw and pitch used by the projection, degrees
    float viewRoll = 0;         // degrees
    float focalLength = 450;    // pixels
    float pixelsPerDegree = 5;  // focalLength / 90
    float viewWidth = 1021, viewHeight = 767;
};

}  // namespace view
