// The layout blanks and tabs of every row, and the French side of the list.

#include "word_text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <vector>

using namespace vocab_test;

namespace {

struct BlankRow
{
    int word;
    const char *french;
    int frenchAfter;
    int englishBefore;
    int englishAfter;
    const char *english;
};

// Per blank-form row: word, French core, blanks after it, English blanks before and after, meaning.
const BlankRow kBlankRows[] = {
    {1, "le", 3, 4, 0, "the"},       {2, "de", 3, 4, 2, "of"},         {5, "être", 7, 4, 6, "to be"},
    {6, "et", 3, 4, 3, "and"},       {7, "en", 3, 4, 5, "in"},         {8, "avoir", 6, 4, 3, "have"},
    {9, "que", 2, 4, 2, "that"},     {10, "pour", 7, 5, 7, "for"},     {11, "dans", 7, 4, 4, "in"},
    {12, "ce", 3, 4, 2, "this"},     {13, "il", 3, 4, 6, "it"},        {14, "qui", 2, 4, 3, "who, whom"},
    {15, "ne", 3, 4, 3, "not"},      {16, "sur", 2, 4, 4, "on"},       {17, "se", 3, 4, 3, "themselves"},
    {18, "pas", 2, 4, 5, "not"},     {19, "plus", 7, 4, 5, "more"},    {20, "pouvoir", 4, 4, 5, "power"},
    {21, "par", 2, 4, 4, "by"},      {22, "je", 3, 4, 5, "I"},         {23, "avec", 7, 4, 2, "with"},
    {24, "tout", 7, 4, 3, "all"},    {25, "faire", 6, 4, 7, "do"},     {26, "son", 2, 4, 5, "its"},
    {27, "mettre", 5, 4, 5, "put"},  {28, "autre", 6, 4, 1, "other"},  {29, "on", 3, 4, 5, "we"},
    {30, "mais", 7, 4, 3, "but"},    {31, "nous", 7, 4, 6, "we"},      {32, "comme", 6, 4, 4, "as"},
    {33, "ou", 3, 4, 4, "or"},       {34, "si", 3, 4, 3, "if"},        {35, "leur", 7, 4, 5, "their"},
    {36, "y", 4, 4, 3, "there"},     {37, "dire", 7, 4, 4, "say"},     {38, "elle", 7, 4, 4, "her"},
    {39, "devoir", 5, 4, 3, "duty"}, {40, "avant", 6, 4, 4, "before"}, {41, "deux", 7, 4, 3, "two"},
    {42, "même", 7, 4, 2, "same"},   {43, "prendre", 4, 4, 5, "take"}, {44, "aussi", 6, 4, 5, "also"},
    {45, "celui", 6, 4, 2, "that"},  {46, "donner", 5, 4, 5, "give"},  {47, "bien", 7, 4, 2, "good"},
    {48, "où", 3, 4, 1, "where"},    {49, "fois", 7, 4, 5, "time"},    {50, "vous", 7, 4, 3, "you"},
    {134, "à", 4, 4, 2, "to"},       {168, "un", 3, 4, 2, "a"},
};

// The French cores, level by level in word-number order.
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

bool IsBlankForm(int w)
{
    return (w >= 1 && w <= 2) || (w >= 5 && w <= 50) || w == 134 || w == 168;
}

std::string Blanks(int n)
{
    return std::string(static_cast<std::size_t>(n), ' ');
}

std::vector<std::string> SplitList(const std::string &list)
{
    std::vector<std::string> words;
    std::istringstream in(list);
    std::string word;
    while (std::getline(in, word, ',')) {
        words.push_back(word.substr(word.find_first_not_of(' ')));
    }
    return words;
}

// UTF-8 text of one accented letter.
std::string Letter(char16_t c)
{
    return Utf8(std::u16string_view(&c, 1));
}

} // namespace

TEST(WordListForm, BlankFormRowsCarryTheirOwnBlanks)
{
    ASSERT_EQ(std::size(kBlankRows), 50u);
    for (const BlankRow &r : kBlankRows) {
        SCOPED_TRACE("word " + std::to_string(r.word));
        ASSERT_TRUE(IsBlankForm(r.word));
        EXPECT_EQ(Utf8(Row(r.word).french), Blanks(5) + r.french + Blanks(r.frenchAfter));
        EXPECT_EQ(Utf8(Row(r.word).english), Blanks(r.englishBefore) + r.english + Blanks(r.englishAfter));
        EXPECT_EQ(r.englishBefore, r.word == 10 ? 5 : 4);
        // The French word and its trailing blanks fill a 5- or 11-character column.
        const std::size_t core = Trim(Row(r.word).french).size();
        EXPECT_EQ(core + static_cast<std::size_t>(r.frenchAfter), core <= 3 ? 5u : 11u);
    }
}

TEST(WordListForm, TabFormsFollowTheWordNumber)
{
    const std::map<int, std::pair<std::u16string_view, std::u16string_view>> specials = {
        {3, {u"\tdepuis\t ", u"   from\t"}},
        {4, {u"\tp\u00E8re\t ", u"  father\t"}},
        {435, {u"\tsoeur \t ", u"   \tsister \t"}},
        {932, {u"\tprobablement", u"   \tprobably\t"}},
    };
    int tabRows = 0;
    for (int w = 1; w <= 1000; ++w) {
        SCOPED_TRACE("word " + std::to_string(w));
        const WordListRow &row = Row(w);
        if (IsBlankForm(w)) {
            EXPECT_EQ(row.french.find(u'\t'), std::u16string_view::npos);
            EXPECT_EQ(row.english.find(u'\t'), std::u16string_view::npos);
            continue;
        }
        ++tabRows;
        if (const auto it = specials.find(w); it != specials.end()) {
            EXPECT_EQ(row.french, it->second.first);
            EXPECT_EQ(row.english, it->second.second);
            continue;
        }
        const std::u16string french(Trim(row.french));
        const std::u16string english(Trim(row.english));
        ASSERT_FALSE(french.empty());
        ASSERT_FALSE(english.empty());
        if (w <= 100) {
            EXPECT_EQ(row.french, u"\t" + french + u"\t   ");
            EXPECT_EQ(row.english, u"\t" + english + u"\t");
        } else {
            EXPECT_EQ(row.french, u"\t" + french + u"\t ");
            EXPECT_EQ(row.english, u"   \t" + english + u"\t");
        }
    }
    EXPECT_EQ(tabRows, 950);
}

TEST(WordListFrench, CoresMatchTheLevelLists)
{
    ASSERT_EQ(std::size(kLevelWords), 20u);
    for (int level = 1; level <= 20; ++level) {
        const std::vector<std::string> words = SplitList(kLevelWords[level - 1]);
        ASSERT_EQ(words.size(), 50u) << "level " << level;
        for (int i = 0; i < 50; ++i) {
            const int w = 50 * (level - 1) + i + 1;
            EXPECT_EQ(FrenchCore(w), words[static_cast<std::size_t>(i)]) << "word " << w;
        }
    }
}

TEST(WordListFrench, UsesOnlySmallLettersAccentsApostropheAndHyphen)
{
    const std::u16string_view accented = u"\u00E0\u00E2\u00E7\u00E8\u00E9\u00EA\u00EE\u00F4\u00F9\u00FB";
    std::set<std::string> withApostrophe, withHyphen, withBlank;
    for (int w = 1; w <= 1000; ++w) {
        const std::u16string_view core = Trim(Row(w).french);
        EXPECT_LE(Row(w).french.size(), 16u) << "word " << w;
        for (char16_t c : core) {
            const bool ok = (c >= u'a' && c <= u'z') || accented.find(c) != std::u16string_view::npos || c == u'\''
                || c == u'-' || c == u' ';
            EXPECT_TRUE(ok) << "word " << w << " has U+" << std::hex << static_cast<int>(c);
        }
        if (core.find(u'\'') != std::u16string_view::npos) {
            withApostrophe.insert(Utf8(core));
        }
        if (core.find(u'-') != std::u16string_view::npos) {
            withHyphen.insert(Utf8(core));
        }
        if (core.find(u' ') != std::u16string_view::npos) {
            withBlank.insert(Utf8(core));
        }
    }
    EXPECT_EQ(withApostrophe, (std::set<std::string> {"quelqu'un", "aujourd'hui", "d'autres", "d'abord", "l'un"}));
    EXPECT_EQ(withHyphen,
              (std::set<std::string> {"est-ce que", "peut-être", "là-bas", "rendez-vous", "moi-même", "celui-là",
                                      "grand-père", "là-dedans", "grand-mère", "là-haut"}));
    EXPECT_EQ(withBlank, (std::set<std::string> {"est-ce que", "parce que"}));
}

TEST(WordListFrench, AccentedLettersOccurAsCounted)
{
    const std::map<char16_t, int> expected = {
        {u'\u00E9', 107}, {u'\u00E8', 22}, {u'\u00EA', 15}, {u'\u00F4', 10}, {u'\u00EE', 9},
        {u'\u00E0', 8},   {u'\u00E2', 4},  {u'\u00FB', 4},  {u'\u00E7', 2},  {u'\u00F9', 1},
    };
    std::map<char16_t, int> occurrences;
    int accentedRows = 0;
    int eAcuteRows = 0;
    for (int w = 1; w <= 1000; ++w) {
        bool accented = false;
        for (char16_t c : Row(w).french) {
            if (c > 0x7F) {
                ++occurrences[c];
                accented = true;
            }
        }
        accentedRows += accented ? 1 : 0;
        eAcuteRows += Row(w).french.find(u'\u00E9') != std::u16string_view::npos ? 1 : 0;
        EXPECT_EQ(Row(w).french.find(u'\u00F9') != std::u16string_view::npos, w == 48) << "word " << w;
    }
    for (const auto &[c, count] : occurrences) {
        EXPECT_TRUE(expected.contains(c)) << "unexpected letter " << Letter(c);
    }
    for (const auto &[c, count] : expected) {
        EXPECT_EQ(occurrences[c], count) << Letter(c);
    }
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
        if (core.size() == 12) {
            longest.insert(Utf8(core));
        }
        if (core.size() == 1) {
            shortest.insert(Utf8(core));
        }
    }
    EXPECT_EQ(cores.size(), 953u);
    EXPECT_EQ(texts.size(), 994u);
    EXPECT_EQ(longest, (std::set<std::string> {"complètement", "anniversaire", "mademoiselle", "probablement"}));
    EXPECT_EQ(shortest, (std::set<std::string> {"y", "à", "l"}));
}
