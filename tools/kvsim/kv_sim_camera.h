#pragma once
// The simulator's stand-in for a camera: a small picture that changes every
// second, so that a camera view shows it is live.

#include <QByteArray>
#include <QTime>

// A PNG: a colour gradient that turns with the seconds and the time
// "hh:mm:ss" in block digits (no fonts: the simulator runs without a GUI).
QByteArray kv_sim_camera_picture(const QTime& time);
