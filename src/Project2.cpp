#include "Application.h"
#include "Fonts.h"
#include "Unit1.h"

int main(int argc, char** argv) {
    VorlekApplication app(argc, argv);
    vorlek::ui::LoadWindowFonts();
    TForm1 form;
    form.show();
    return app.exec();
}
