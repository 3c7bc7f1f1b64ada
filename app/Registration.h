#pragma once
// Makes every class of the main window's form description known to the reader.
void RegisterFormClasses();
// Takes the picture kinds it added out of the picture container again, at program end.
void UnregisterPictureKinds();
