#pragma once
// The program's windows: one global instance of each, created once at
// start-up in a fixed order and living until exit. Any window reaches
// another through these pointers (include the other window's header for
// its members).

#ifdef TMS_LOWER_LAYER
#error "a lower library includes the window registry: windows belong to tms_windows"
#endif

class TForm1;   // settings, holds the engine state
class TForm2;   // modify order
class TForm3;   // loading details text
class TForm4;   // main window, owns the database connection
class TForm5;   // goods
class TForm6;   // containers
class TForm7;   // order management
class TForm8;   // assembly drawing
class TForm9;   // self-service loading
class TForm10;  // new order
class TForm11;  // self-service add goods

extern TForm1* Form1;
extern TForm2* Form2;
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;
extern TForm6* Form6;
extern TForm7* Form7;
extern TForm8* Form8;
extern TForm9* Form9;
extern TForm10* Form10;
extern TForm11* Form11;
