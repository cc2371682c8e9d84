#include "speech/silence.h"

bool dansLaPlage(const QTime& debut, const QTime& fin, const QTime& instant) {
    if (debut < fin)
        return debut <= instant && instant < fin;
    if (fin < debut)
        return debut <= instant || instant < fin;
    return false;
}

Silence silenceA(const ReglagesFacultatifs& r, bool nePasDerangerDuBureau, const QTime& instant) {
    Silence s;
    s.nuit = r.silenceNuit && dansLaPlage(r.debutSilence, r.finSilence, instant);
    if (s.nuit)
        s.fin = r.finSilence;
    s.bureau = r.suivreNePasDeranger && nePasDerangerDuBureau;
    return s;
}

QString raisonDuSilence(const Silence& s) {
    QStringList raisons;
    if (s.nuit)
        raisons << QStringLiteral("silence de nuit jusqu'à ") + s.fin.toString(u"hh:mm");
    if (s.bureau)
        raisons << QStringLiteral("« Ne pas déranger » du bureau");
    return raisons.join(QStringLiteral(" et "));
}
