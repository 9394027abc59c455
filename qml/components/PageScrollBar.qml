import QtQuick
import QtQuick.Controls

// Shown whenever there is more to scroll to, as a desktop user expects.
ScrollBar {
    policy: size < 1.0 ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    minimumSize: 0.08
}
