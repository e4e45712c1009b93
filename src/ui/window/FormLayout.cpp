#include "FormLayout.h"

namespace velmorin {

namespace {

using K = ControlKind;
using C = FontColour;

ControlDesc control(ControlKind kind, const char *name, const char *parent, int left, int top,
                    int width, int height, const char *text = "")
{
    return ControlDesc{kind, name, parent, left, top, width, height, text};
}

// A round-size or entrant box of the left-hand panel.
ControlDesc roundBox(const char *name, int left, int top, const char *caption,
                     const char *spokenName, const char *text = "")
{
    return control(K::ReadOnlyEdit, name, "Panel2", left, top, 41, 28, text)
        .font(16)
        .captioned(caption)
        .accessible(spokenName);
}

ControlDesc rowLabel(const char *name, int left, int top, const char *text)
{
    return control(K::Label, name, "Panel2", left, top, 0, 0, text);
}

ControlDesc ratioGroup(const char *name, int top, const char *spokenName)
{
    return control(K::RadioGroup, name, "Panel2", 112, top, 97, 33).accessible(spokenName);
}

ControlDesc arrow(const char *name, int left, int top, const char *text)
{
    return control(K::Label, name, "Panel2", left, top, 0, 0, text)
        .font(27, "Symbol")
        .with(Decorative);
}

ControlDesc solutionLabel(const char *name, int top, FontColour colour)
{
    return control(K::Label, name, nullptr, 240, top, 117, 32, "0 solution")
        .font(27, "Arial")
        .in(colour)
        .with(Centred);
}

ControlDesc trackBar(const char *name, int left, int top, const char *spokenName)
{
    return control(K::TrackBar, name, nullptr, left, top, 193, 45)
        .range(1, 10)
        .with(Hidden)
        .accessible(spokenName);
}

} // namespace

const std::vector<ControlDesc> &mainWindowControls()
{
    static const std::vector<ControlDesc> controls{
        // The problem's inputs.
        control(K::Panel, "Panel1", nullptr, 232, 8, 193, 105)
            .font(11)
            .in(C::Blue)
            .with(InnerBevel),
        control(K::Label, "Label18", "Panel1", 16, 8, 157, 20, "Données du problème").font(17),
        control(K::Label, "Label19", "Panel1", 40, 32, 105, 13, "Nombre de quadrettes"),
        control(K::FixedLabel, "Label21", "Panel1", 96, 48, 89, 13, "Jouant en Finale")
            .with(Centred),
        control(K::Edit, "Effectif", "Panel1", 16, 64, 41, 32, "71")
            .font(19)
            .captioned("Inscrites")
            .accessible("Quadrettes inscrites"),
        control(K::ReadOnlyEdit, "Finale", "Panel1", 112, 64, 41, 32, "52")
            .font(19)
            .accessible("Quadrettes jouant en finale"),
        control(K::UpDown, "UpFinale", "Panel1", 153, 64, 16, 32)
            .range(0, 32, 2)
            .accessible("Quadrettes jouant en finale"),
        control(K::ReadOnlyEdit, "E1", nullptr, 288, 136, 65, 32)
            .font(19)
            .in(C::Blue)
            .captioned("Entrant au Tour 1", C::Blue)
            .accessible("Entrant au tour 1"),
        control(K::UpDown, "UpE1", nullptr, 353, 136, 16, 32)
            .range(0, 100, 4)
            .accessible("Entrant au tour 1"),
        control(K::Button, "Button1", nullptr, 294, 184, 75, 25, "Calcul").font(19).in(C::Red),

        // One solution label and slider per exemption class.
        solutionLabel("solution1", 216, C::Red),
        trackBar("TrackBar1", 232, 248, "Solutions sans exemptée"),
        solutionLabel("Solution2", 288, C::Blue),
        trackBar("TrackBar2", 231, 320, "Solutions avec une exemptée"),
        solutionLabel("Solution3", 360, C::Black),
        trackBar("TrackBar3", 231, 392, "Solutions avec deux exemptées"),
        control(K::Label, "Fini", nullptr, 304, 424, 55, 40, "FIN")
            .font(35, "Arial")
            .in(C::Red)
            .with(Hidden),
        control(K::Button, "Button3", nullptr, 248, 464, 75, 25, "&A Propos"),
        control(K::Button, "Button2", nullptr, 352, 464, 75, 25, "Quitter").font(19),

        // The rounds, from round 1 down to the final.
        control(K::Panel, "Panel2", nullptr, 8, 8, 217, 505),
        arrow("Label9", 80, 56, "↓"),
        arrow("Label10", 80, 128, "↓"),
        arrow("Label11", 80, 200, "↓"),
        arrow("Label12", 80, 280, "↓"),
        arrow("Label13", 80, 352, "↓"),
        arrow("Label14", 80, 424, "↓"),
        arrow("Label15", 112, 96, "<-"),
        arrow("Label16", 112, 168, "<-"),
        arrow("Label17", 112, 248, "<-"),
        control(K::Label, "Label8", "Panel2", 32, 8, 0, 0, "Nombre d'équipe dans chaque stade"),
        rowLabel("Label1", 8, 48, "Tour 1"),
        roundBox("T1", 64, 40, "  Tour 1", "Tour 1"),
        ratioGroup("RG1", 56, "Qualifiés du tour 1").with(Disabled),
        rowLabel("Label2", 8, 112, "Tour 2"),
        roundBox("T2", 64, 104, "  Tour 2", "Tour 2"),
        ratioGroup("RG2", 128, "Qualifiés du tour 2").with(Disabled),
        roundBox("E2", 152, 104, "Entrant", "Entrant au tour 2"),
        rowLabel("Label3", 8, 184, "Tour 3"),
        roundBox("T3", 64, 176, "  Tour 3", "Tour 3"),
        ratioGroup("RG3", 208, "Qualifiés du tour 3").with(Disabled),
        roundBox("E3", 152, 176, "Entrant", "Entrant au tour 3"),
        rowLabel("Label4", 8, 264, "Tour 4"),
        roundBox("T4", 64, 248, "1/8 Finale", "Tour 4, 1/8 finale"),
        ratioGroup("RG4", 288, "Qualifiés du tour 4"),
        roundBox("E4", 152, 256, "Entrant", "Entrant au tour 4", "52"),
        rowLabel("Label5", 8, 336, "1/4 finale"),
        roundBox("T5", 64, 328, "1/4 Finale", "1/4 finale"),
        ratioGroup("RG5", 352, "Qualifiés des 1/4 de finale").with(Disabled),
        rowLabel("Label6", 8, 408, "1/2 finale"),
        roundBox("T6", 64, 400, "1/2 Finale", "1/2 finale"),
        ratioGroup("RG6", 424, "Qualifiés des 1/2 finales").with(Disabled),
        rowLabel("Label7", 24, 472, "finale"),
        roundBox("T7", 64, 464, "Finale", "Finale"),

        // The exemption marking of the round-4 row.
        control(K::Label, "ExempLabel", "Panel2", 16, 288, 0, 0, "Exemptée").in(C::Black),
        control(K::FixedLabel, "ExempNbrs", "Panel2", 24, 304, 25, 20, "2")
            .font(16)
            .with(Centred)
            .accessible("Équipes exemptées du tour 4"),
    };
    return controls;
}

const std::vector<const char *> &mainWindowTabOrder()
{
    static const std::vector<const char *> order{
        "TrackBar1", "Effectif", "Finale",    "Button1",   "E1", "T1",  "RG1",
        "E2",        "T2",       "RG2",       "E3",        "T3", "RG3", "E4",
        "T4",        "RG4",      "T5",        "RG5",       "T6", "RG6", "T7",
        "Button2",   "Button3",  "TrackBar2", "TrackBar3",
    };
    return order;
}

} // namespace velmorin
