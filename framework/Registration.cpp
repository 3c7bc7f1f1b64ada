#include "framework/FormReader.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "framework/Splitter.h"
#include "framework/StatusBar.h"

void RegisterFrameworkClasses() {
    RegisterComponentClass<TPanel>("TPanel");
    RegisterComponentClass<TSplitter>("TSplitter");
    RegisterComponentClass<TStatusBar>("TStatusBar");
    RegisterComponentClass<TImage>("TImage");
    RegisterComponentClass<TLabel>("TLabel");
}
