#pragma once
// Makes every class of the main window's form description known to the reader.
void RegisterFormClasses();
