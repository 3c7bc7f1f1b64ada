#pragma once
// The larger preview window of a picture.
class TPicture;

// Shows a copy of `picture` in its own window, sized to the picture up to
// three quarters of the monitor, until the user closes it (Esc closes it too).
void ShowPicturePreview(TPicture& picture);
