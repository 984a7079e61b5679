// The text library probe's exit codes: which Harfix.dll the probe's process
// held after the control painted, and a bit for titles that were not drawn.
#pragma once

inline constexpr int kProbeNoneLoaded = 0;
inline constexpr int kProbeBesideLoaded = 1;  // the one beside ORVANE.OCX
inline constexpr int kProbeOtherLoaded = 2;   // one from anywhere else
inline constexpr int kProbeNoTitles = 8;
inline constexpr int kProbeSetupFailed = 100;
