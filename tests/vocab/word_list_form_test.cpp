// The layout blanks and tabs of every row, and the French side of the list.

#include "word_text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>

using namespace vocab_test;

namespace {

// The blank-form rows: word, French, blanks after it, blanks after the meaning, meaning. The French
// word has 5 blanks before it, the meaning 4 (5 in word 10).
const std::tuple<int, const char *, int, int, const char *> kBlankRows[] = {
    {1, "le", 3, 0, "the"},       {2, "de", 3, 2, "of"},         {5, "être", 7, 6, "to be"},
    {6, "et", 3, 3, "and"},       {7, "en", 3, 5, "in"},         {8, "avoir", 6, 3, "have"},
    {9, "que", 2, 2, "that"},     {10, "pour", 7, 7, "for"},     {11, "dans", 7, 4, "in"},
    {12, "ce", 3, 2, "this"},     {13, "il", 3, 6, "it"},        {14, "qui", 2, 3, "who, whom"},
    {15, "ne", 3, 3, "not"},      {16, "sur", 2, 4, "on"},       {17, "se", 3, 3, "themselves"},
    {18, "pas", 2, 5, "not"},     {19, "plus", 7, 5, "more"},    {20, "pouvoir", 4, 5, "power"},
    {21, "par", 2, 4, "by"},      {22, "je", 3, 5, "I"},         {23, "avec", 7, 2, "with"},
    {24, "tout", 7, 3, "all"},    {25, "faire", 6, 7, "do"},     {26, "son", 2, 5, "its"},
    {27, "mettre", 5, 5, "put"},  {28, "autre", 6, 1, "other"},  {29, "on", 3, 5, "we"},
    {30, "mais", 7, 3, "but"},    {31, "nous", 7, 6, "we"},      {32, "comme", 6, 4, "as"},
    {33, "ou", 3, 4, "or"},       {34, "si", 3, 3, "if"},        {35, "leur", 7, 5, "their"},
    {36, "y", 4, 3, "there"},     {37, "dire", 7, 4, "say"},     {38, "elle", 7, 4, "her"},
    {39, "devoir", 5, 3, "duty"}, {40, "avant", 6, 4, "before"}, {41, "deux", 7, 3, "two"},
    {42, "même", 7, 2, "same"},   {43, "prendre", 4, 5, "take"}, {44, "aussi", 6, 5, "also"},
    {45, "celui", 6, 2, "that"},  {46, "donner", 5, 5, "give"},  {47, "bien", 7, 2, "good"},
    {48, "où", 3, 1, "where"},    {49, "fois", 7, 5, "time"},    {50, "vous", 7, 3, "you"},
    {134, "à", 4, 2, "to"},       {168, "un", 3, 2, "a"},
};

// The French cores, level by level in word-number order, as "core, core, ...".
const char *const kLevelWords[] = {
    "le, de, depuis, père, être, et, en, avoir, que, pour, dans, ce, il, qui, ne, sur, se, pas, plus, pouvoir, par, "
    "je, avec, tout, faire, son, mettre, autre, on, mais, nous, comme, ou, si, leur, y, dire, elle, devoir, avant, "
    "deux, même, prendre, aussi, celui, donner, bien, où, fois, vous",
    "encore, nouveau, aller, cela, entre, premier, vouloir, déjà, grand, mon, me, moins, aucun, lui, temps, très, "
    "savoir, falloir, voir, quelque, sans, raison, notre, dont, non, an, monde, jour, monsieur, demander, alors, "
    "après, trouver, personne, rendre, part, dernier, venir, pendant, passer, peu, lequel, suite, bon, comprendre, "
    "depuis, point, ainsi, heure, rester",
    "regarder, encore, appeler, est-ce que, peu, homme, partir, ma, toujours, jour, femme, temps, maintenant, notre, "
    "vie, deux, mettre, rester, sans, seul, arrêter, vraiment, connaître, quelque, sûr, tuer, mourir, demander, juste, "
    "peut-être, dieu, fois, oh, à, comprendre, sortir, personne, an, trop, chez, fille, aux, monde, ami, vrai, après, "
    "mal, besoin, accord, ses",
    "avant, monsieur, enfant, grand, entendre, voilà, chercher, heure, mieux, tes, aider, mère, déjà, beau, essayer, "
    "fils, vos, un, quelqu'un, beaucoup, revenir, donc, plaire, maison, gens, nuit, ah, soir, nom, bonjour, jouer, "
    "leur, finir, peur, mort, parce que, perdre, maman, sentir, ouais, rentrer, nos, premier, problème, argent, "
    "quelle, vivre, rendre, dernier, tenir",
    "cet, main, cela, vite, oublier, air, salut, quel, travailler, moins, tête, coup, écouter, raison, manger, amour, "
    "entrer, dont, nouveau, devenir, hein, commencer, merde, moment, voiture, vieux, demain, revoir, elles, payer, "
    "fou, tirer, ouvrir, oeil, fait, changer, question, tomber, assez, bureau, excuser, affaire, dormir, combien, "
    "frère, travail, idée, chien, puis, famille",
    "truc, trois, tant, souvenir, ni, tous, occuper, entre, ok, marcher, chance, aujourd'hui, envoyer, histoire, "
    "jeune, tard, apprendre, minute, boire, garder, quelques, type, porte, montrer, mec, asseoir, porter, attention, "
    "année, sous, prêt, contre, prier, pendant, mois, meilleur, servir, madame, sept, écrire, part, eau, sang, place, "
    "espérer, plein, désoler, eux, retrouver, ville",
    "terre, gagner, semaine, acheter, longtemps, gars, chambre, hé, côté, droit, rappeler, lire, cas, mot, seulement, "
    "voici, monter, désolé, quitter, police, suite, matin, emmener, toucher, continuer, devant, fort, gros, enfin, "
    "pardon, mari, là-bas, importer, papa, train, manquer, raconter, ensemble, mauvais, film, répondre, garçon, chéri, "
    "corps, celui, autres, heureux, loin, aucun, pauvre",
    "sauver, chaque, retourner, leurs, rencontrer, coeur, voler, fermer, car, valoir, descendre, feu, docteur, "
    "suffire, façon, important, sembler, super, compter, vers, joli, point, noir, hier, chien, guerre, genre, marier, "
    "arme, cause, endroit, ordre, poser, reste, pied, envie, près, fin, tiens, inquiéter, d'autres, bouger, plutôt, "
    "apporter, photo, décider, ainsi, certain, aucune, vendre",
    "école, cher, chef, tourner, cacher, boulot, pays, ceux, possible, expliquer, battre, peine, livre, agir, "
    "imaginer, tour, adorer, vérité, recevoir, gentil, jeter, pleurer, bébé, partie, nouvelle, jeu, amener, instant, "
    "parent, dur, service, plaisir, promettre, mentir, soeur, bientôt, lit, tellement, utiliser, lieu, coucher, "
    "presque, dehors, passé, préférer, content, derrière, foot, offrir, roi",
    "verre, réveiller, aide, d'abord, journée, préparer, numéro, permettre, ramener, enlever, calme, lâcher, choisir, "
    "musique, conduire, faute, calmer, dîner, mariage, bureau, route, chanter, secret, disparaître, lever, dessus, "
    "présenter, accepter, baiser, sinon, idiot, long, café, propre, confiance, cinq, bonsoir, compte, téléphone, "
    "casser, prochain, frapper, facile, rêve, copain, malade, rue, bas, lettre, ignorer",
    "fête, couper, esprit, taire, seigneur, flic, parfois, capitaine, âge, autant, force, pièce, quatre, chat, "
    "difficile, bras, tromper, surtout, ressembler, jurer, plan, prison, sale, courir, haut, état, remettre, carte, "
    "paix, exactement, drôle, refuser, dès, président, cours, grave, terminer, ciel, partout, âme, patron, amuser, "
    "celle, visage, intéresser, reconnaître, rire, médecin, rapport, pardonner",
    "avis, embrasser, retour, laquelle, simple, danser, exister, différent, souvent, lumière, génial, libre, dollar, "
    "sûrement, pareil, hôpital, ceci, réussir, bizarre, voix, protéger, honneur, tôt, équipe, prévenir, cheval, "
    "ailleurs, lequel, maître, avion, bout, habiter, faim, ensuite, l'un, froid, normal, déranger, reprendre, oncle, "
    "prix, retard, détruire, cadeau, pousser, face, gueule, chemin, vivant, général",
    "bateau, million, sac, impossible, seconde, bête, découvrir, erreur, soleil, voyage, sauter, rêver, détester, "
    "clair, faux, paraître, balle, empêcher, maintenir, cheveu, papier, présent, sujet, supposer, tranquille, neuf, "
    "épouser, blanc, table, toute, dix, clé, agent, approcher, sens, craindre, six, message, crier, salle, inviter, "
    "effet, réfléchir, espèce, arranger, naître, allô, bois, propos, camp",
    "sorte, hôtel, début, souffrir, jambe, remercier, choix, sécurité, avocat, attraper, client, courant, dépêcher, "
    "peuple, dame, vérifier, abandonner, journal, sérieux, brûler, or, loi, fond, gosse, fric, situation, euh, sauf, "
    "accident, doute, scène, soldat, amoureux, assurer, preuve, humain, mer, silence, télé, victime, complètement, "
    "cinq, garde, meurtre, groupe, crime, traiter, doucement, blesser, colonel",
    "parole, triste, honte, rouge, dégager, soirée, dangereux, armée, filer, risquer, dos, appel, visite, mener, "
    "fleur, attaquer, coin, prince, pire, quatre, professeur, fumer, répéter, habitude, signer, ficher, mériter, "
    "réponse, rejoindre, discuter, village, pourtant, avancer, connerie, reposer, échapper, forme, bruit, chacun, "
    "diable, exemple, charger, chat, ennemi, gamin, rendez-vous, debout, obliger, trou, accompagner",
    "fenêtre, oser, impression, intérieur, bouche, ligne, absolument, doux, regretter, mur, enfer, prouver, boîte, "
    "santé, vendredi, couvrir, magnifique, obtenir, cuisine, vue, terrible, éviter, peau, salaud, conseil, plaisanter, "
    "autour, vin, exact, virer, supporter, régler, doigt, étrange, grâce, souhaiter, mission, créer, chanson, pote, "
    "surveiller, simplement, recommencer, robe, chaud, billet, spécial, moyen, sympa, vaisseau",
    "moi-même, coûter, surprise, poste, compris, anniversaire, signe, vol, couleur, image, parier, est, arbre, bière, "
    "mme, poisson, selon, jeudi, intérêt, lieutenant, danger, appartenir, remarquer, animal, rater, retirer, bord, "
    "tenter, liberté, règle, banque, merveilleux, fier, partager, classe, dossier, ressentir, bonheur, défendre, but, "
    "bande, l, fatiguer, radio, prévoir, celui-là, camarade, douter, oiseau, vent",
    "recherche, apprécier, système, ferme, capable, fuir, ennui, tante, héros, dedans, excellent, pitié, appartement, "
    "bosser, respirer, entier, récupérer, douleur, libérer, sentiment, grand-père, société, lancer, nez, joie, "
    "relation, témoin, acteur, moitié, incroyable, bain, durer, marché, laver, dent, là-dedans, mademoiselle, adresse, "
    "cousin, riche, compagnie, sonner, chaussure, oreille, grand-mère, ancien, art, deviner, inutile, ravir",
    "blague, avenir, beauté, laisse, course, manière, traverser, expérience, soin, hors, cour, gauche, stupide, "
    "retenir, liste, remonter, réaliser, mercredi, moquer, étudier, installer, courage, bleu, secours, milieu, "
    "proposer, mardi, contact, inspecteur, mignon, projet, probablement, rôle, risque, action, ange, avance, "
    "intéressant, parmi, langue, emporter, thé, colère, départ, époque, engager, voleur, cesser, tort, vacance",
    "là-haut, machine, signifier, réparer, construire, pain, bar, chier, club, été, horrible, profiter, pierre, "
    "pleuvoir, plusieurs, lundi, tel, glace, décision, juge, contrôle, séparer, sept, maladie, quartier, désirer, "
    "travers, dommage, cigarette, traîner, respecter, époux, tas, enfuir, diriger, crever, fil, combat, poursuivre, "
    "morceau, église, directeur, demande, forcer, bombe, samedi, espoir, tueur, grandir, dimanche",
};

std::string Blanks(int n)
{
    return std::string(static_cast<std::size_t>(n), ' ');
}

} // namespace

TEST(WordListForm, WhiteSpaceFollowsTheWordNumber)
{
    // Whole texts of the rows outside the tab form of their range.
    std::map<int, std::pair<std::string, std::string>> exact = {
        {3, {"\tdepuis\t ", "   from\t"}},
        {4, {"\tp\u00E8re\t ", "  father\t"}},
        {435, {"\tsoeur \t ", "   \tsister \t"}},
        {932, {"\tprobablement", "   \tprobably\t"}},
    };
    for (const auto &[w, french, frenchAfter, englishAfter, english] : kBlankRows) {
        exact[w] = {Blanks(5) + french + Blanks(frenchAfter), Blanks(w == 10 ? 5 : 4) + english + Blanks(englishAfter)};
        // The French word and its trailing blanks fill a 5-character column (up to 3 letters) or an 11-character one.
        const std::size_t letters = Trim(Row(w).french).size();
        EXPECT_EQ(letters + static_cast<std::size_t>(frenchAfter), letters <= 3 ? 5u : 11u) << "word " << w;
    }
    ASSERT_EQ(exact.size(), 54u);
    for (int w = 1; w <= 1000; ++w) {
        SCOPED_TRACE("word " + std::to_string(w));
        const std::string french = FrenchCore(w);
        const std::string english = EnglishCore(w);
        ASSERT_FALSE(french.empty());
        ASSERT_FALSE(english.empty());
        if (const auto it = exact.find(w); it != exact.end()) {
            EXPECT_EQ(Utf8(Row(w).french), it->second.first);
            EXPECT_EQ(Utf8(Row(w).english), it->second.second);
        } else if (w <= 100) {
            EXPECT_EQ(Utf8(Row(w).french), "\t" + french + "\t   ");
            EXPECT_EQ(Utf8(Row(w).english), "\t" + english + "\t");
        } else {
            EXPECT_EQ(Utf8(Row(w).french), "\t" + french + "\t ");
            EXPECT_EQ(Utf8(Row(w).english), "   \t" + english + "\t");
        }
    }
}

TEST(WordListFrench, CoresMatchTheLevelLists)
{
    ASSERT_EQ(std::size(kLevelWords), 20u);
    for (int level = 1; level <= 20; ++level) {
        std::string cores = FrenchCore(50 * level - 49);
        for (int w = 50 * level - 48; w <= 50 * level; ++w) {
            cores += ", " + FrenchCore(w);
        }
        EXPECT_EQ(cores, kLevelWords[level - 1]) << "level " << level;
    }
}

TEST(WordListFrench, LettersAndMarksOccurAsCounted)
{
    // Occurrences of each accented letter in the French texts; ù only in "où" (48).
    const std::map<char16_t, int> accents = {
        {u'\u00E9', 107}, {u'\u00E8', 22}, {u'\u00EA', 15}, {u'\u00F4', 10}, {u'\u00EE', 9},
        {u'\u00E0', 8},   {u'\u00E2', 4},  {u'\u00FB', 4},  {u'\u00E7', 2},  {u'\u00F9', 1},
    };
    // The cores holding an apostrophe, a hyphen or a blank.
    const std::map<char16_t, std::set<std::string>> marked = {
        {u'\'', {"quelqu'un", "aujourd'hui", "d'autres", "d'abord", "l'un"}},
        {u'-',
         {"est-ce que", "peut-être", "là-bas", "rendez-vous", "moi-même", "celui-là", "grand-père", "là-dedans",
          "grand-mère", "là-haut"}},
        {u' ', {"est-ce que", "parce que"}},
    };
    std::map<char16_t, int> occurrences;
    std::map<char16_t, std::set<std::string>> marks;
    int accentedRows = 0;
    int eAcuteRows = 0;
    for (int w = 1; w <= 1000; ++w) {
        SCOPED_TRACE("word " + std::to_string(w));
        const std::u16string_view core = Trim(Row(w).french);
        EXPECT_LE(Row(w).french.size(), 16u);
        bool accented = false;
        for (char16_t c : core) {
            if (accents.contains(c)) {
                ++occurrences[c];
                accented = true;
            } else if (marked.contains(c)) {
                marks[c].insert(Utf8(core));
            } else {
                EXPECT_TRUE(c >= u'a' && c <= u'z') << "U+" << std::hex << static_cast<int>(c);
            }
        }
        accentedRows += accented ? 1 : 0;
        eAcuteRows += core.find(u'\u00E9') != std::u16string_view::npos ? 1 : 0;
        EXPECT_EQ(core.find(u'\u00F9') != std::u16string_view::npos, w == 48);
    }
    EXPECT_EQ(occurrences, accents);
    EXPECT_EQ(marks, marked);
    EXPECT_EQ(accentedRows, 164);
    EXPECT_EQ(eAcuteRows, 94);
}

TEST(WordListFrench, DistinctCoresTextsAndExtremeLengths)
{
    std::set<std::u16string_view> cores, texts;
    std::set<std::string> longest, shortest;
    for (int w = 1; w <= 1000; ++w) {
        const std::u16string_view core = Trim(Row(w).french);
        cores.insert(core);
        texts.insert(Row(w).french);
        EXPECT_LE(core.size(), 12u) << "word " << w;
        if (core.size() == 12 || core.size() == 1) {
            (core.size() == 1 ? shortest : longest).insert(Utf8(core));
        }
    }
    EXPECT_EQ(cores.size(), 953u);
    EXPECT_EQ(texts.size(), 994u);
    EXPECT_EQ(longest, (std::set<std::string> {"complètement", "anniversaire", "mademoiselle", "probablement"}));
    EXPECT_EQ(shortest, (std::set<std::string> {"y", "à", "l"}));
}
