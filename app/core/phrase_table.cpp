#include "app/core/phrase_table.h"

#include "platform/codepage.h"

namespace {

struct PhraseRow {
    std::string_view text[kLanguageCount];
};

// English, Russian, Portuguese (Brazil), French, Italian. A language that leaves a phrase
// untranslated repeats the English text. Rows are indexed by phrase number.
// clang-format off
constexpr PhraseRow kRows[kPhraseCount] = {
    /*   0 */ {"Game", "Партия", "Partida", "Partie", "Partita"},
    /*   1 */ {"New", "Новая", "Nova", "Nouvelle", "Nuova"},
    /*   2 */ {"Game information", "Информация о партии", "Informações da partida", "Informations sur la partie", "Informazioni sulla partita"},
    /*   3 */ {"Setup position", "Расстановка позиции", "Montar posição", "Éditer la position", "Imposta posizione"},
    /*   4 */ {"Type", "Вид шашек", "Modalidade", "Variante", "Variante"},
    /*   5 */ {"Russian", "Русские шашки", "Damas russas", "Russe", "Russa"},
    /*   6 */ {"English", "Английские шашки", "Damas inglesas", "Anglaise", "Inglese"},
    /*   7 */ {"Brazilian", "Бразильские шашки", "Damas brasileiras", "Brésilienne", "Brasiliana"},
    /*   8 */ {"American Pool", "Американский пул", "American Pool", "Polonais", "American Pool"},
    /*   9 */ {"Italian", "Итальянские шашки", "Damas italianas", "Italienne", "Italiana"},
    /*  10 */ {"International", "Международные шашки", "Damas internacionais", "Internationale", "Internazionale"},
    /*  11 */ {"Exit", "Выход", "Sair", "Quitter", "Esci"},
    /*  12 */ {"Save game (as new)", "Сохранить партию (как новую)", "Salvar partida (como nova)", "Enregistrer la partie (comme nouvelle)", "Salva partita (come nuova)"},
    /*  13 */ {"Replace game", "Заменить партию", "Substituir partida", "Remplacer la partie", "Sostituisci partita"},
    /*  14 */ {"Load previous game", "Загрузить предыдущую партию", "Carregar partida anterior", "Charger la partie précédente", "Carica partita precedente"},
    /*  15 */ {"Load next game", "Загрузить следующую партию", "Carregar próxima partida", "Charger la partie suivante", "Carica partita successiva"},
    /*  16 */ {"View", "Вид", "Exibir", "Affichage", "Visualizza"},
    /*  17 */ {"Board", "Доска", "Tabuleiro", "Damier", "Damiera"},
    /*  18 */ {"Reversed", "Перевёрнутая", "Invertido", "Retourné", "Capovolta"},
    /*  19 */ {"Small", "Маленькая", "Pequeno", "Petit", "Piccola"},
    /*  20 */ {"Average", "Средняя", "Médio", "Moyen", "Media"},
    /*  21 */ {"Large", "Большая", "Grande", "Grand", "Grande"},
    /*  22 */ {"Font", "Шрифт", "Fonte", "Police", "Carattere"},
    /*  23 */ {"Time", "Время", "Tempo", "Temps", "Tempo"},
    /*  24 */ {"Analysis/view mode", "Режим анализа/просмотра", "Modo de análise/visualização", "Mode analyse/consultation", "Modalità analisi/visualizzazione"},
    /*  25 */ {"Play mode", "Режим игры", "Modo de jogo", "Mode jeu", "Modalità gioco"},
    /*  26 */ {"minutes", "минут", "minutos", "minutes", "minuti"},
    /*  27 */ {"Set time", "Установить время", "Definir tempo", "Régler le temps", "Imposta tempo"},
    /*  28 */ {"Play", "Играть", "Jogar", "Jouer", "Gioca"},
    /*  29 */ {"Compute!", "Ходи!", "Calcular!", "Calculer !", "Calcola!"},
    /*  30 */ {"Coach", "Тренер", "Treinador", "Entraîneur", "Allenatore"},
    /*  31 */ {"Game analysis", "Анализ партии", "Análise da partida", "Analyse de la partie", "Analisi della partita"},
    /*  32 */ {"Options", "Настройки", "Opções", "Options", "Opzioni"},
    /*  33 */ {"Connect to electronic draughts board", "Подключить электронную шашечную доску", "Conectar tabuleiro eletrônico de damas", "Connecter le damier électronique", "Collega la damiera elettronica"},
    /*  34 */ {"Connect to Internet game server", "Подключиться к игровому серверу в Интернете", "Conectar ao servidor de jogos na Internet", "Se connecter au serveur de jeu sur Internet", "Connetti al server di gioco su Internet"},
    /*  35 */ {"Engine settings", "Настройки движка", "Configurações do motor", "Paramètres du moteur", "Impostazioni del motore"},
    /*  36 */ {"Database", "База данных", "Banco de dados", "Base de données", "Database"},
    /*  37 */ {"Go to database", "Перейти к базе", "Ir para o banco de dados", "Aller à la base", "Vai al database"},
    /*  38 */ {"Quick search", "Быстрый поиск", "Busca rápida", "Recherche rapide", "Ricerca rapida"},
    /*  39 */ {"Help", "Справка", "Ajuda", "Aide", "Guida"},
    /*  40 */ {"About", "О программе", "Sobre", "À propos", "Informazioni"},
    /*  41 */ {"", "", "", "", ""},
    /*  42 */ {"minutes", "минуты", "minutos", "minutes", "minuti"},
    /*  43 */ {"STOP!", "СТОП!", "PARAR!", "STOP !", "STOP!"},
    /*  44 */ {"Done", "Готово", "Concluído", "Terminé", "Fatto"},
    /*  45 */ {"Analysis", "Анализ", "Análise", "Analyse", "Analisi"},
    /*  46 */ {"Tree", "Дерево", "Árvore", "Arbre", "Albero"},
    /*  47 */ {"New game", "Новая партия", "Nova partida", "Nouvelle partie", "Nuova partita"},
    /*  48 */ {"Search", "Поиск", "Pesquisar", "Recherche", "Cerca"},
    /*  49 */ {"Internet game", "Игра через Интернет", "Jogo pela Internet", "Partie sur Internet", "Partita su Internet"},
    /*  50 */ {"Clear", "Очистить", "Limpar", "Effacer", "Svuota"},
    /*  51 */ {"Start position", "Начальная позиция", "Posição inicial", "Position initiale", "Posizione iniziale"},
    /*  52 */ {"", "", "", "", ""},
    /*  53 */ {"Error: no free place", "Ошибка: нет свободного места", "Erro: não há espaço livre", "Erreur : aucune place libre", "Errore: nessun posto libero"},
    /*  54 */ {"Black win!", "Чёрные выиграли!", "As pretas venceram!", "Les noirs gagnent !", "Vince il Nero!"},
    /*  55 */ {"White win!", "Белые выиграли!", "As brancas venceram!", "Les blancs gagnent !", "Vince il Bianco!"},
    /*  56 */ {"White", "Белые", "Brancas", "Blancs", "Bianco"},
    /*  57 */ {"Black", "Чёрные", "Pretas", "Noirs", "Nero"},
    /*  58 */ {"Test Game", "Тестовая партия", "Partida de teste", "Partie test", "Partita di prova"},
    /*  59 */ {"Depth", "Глубина", "Profundidade", "Profondeur", "Profondità"},
    /*  60 */ {"sec", "сек", "seg", "s", "sec"},
    /*  61 */ {"Error", "Ошибка", "Erro", "Erreur", "Errore"},
    /*  62 */ {"Lost by time!", "Проигрыш по времени!", "Perdeu por tempo!", "Perte au temps !", "Perso per tempo!"},
    /*  63 */ {"Speed", "Скорость", "Velocidade", "Vitesse", "Velocità"},
    /*  64 */ {"White moves", "Ход белых", "Brancas jogam", "Les blancs jouent", "Muove il Bianco"},
    /*  65 */ {"Black moves", "Ход чёрных", "Pretas jogam", "Les noirs jouent", "Muove il Nero"},
    /*  66 */ {"", "", "", "", ""},
    /*  67 */ {"", "", "", "", ""},
    /*  68 */ {"Comment before move", "Комментарий перед ходом", "Comentário antes do lance", "Commentaire avant le coup", "Commento prima della mossa"},
    /*  69 */ {"Comment after move", "Комментарий после хода", "Comentário após o lance", "Commentaire après le coup", "Commento dopo la mossa"},
    /*  70 */ {"Delete line after move", "Удалить продолжение после хода", "Apagar a linha após o lance", "Supprimer la suite après le coup", "Elimina la linea dopo la mossa"},
    /*  71 */ {"Promote line", "Поднять вариант", "Promover linha", "Promouvoir la variante", "Promuovi la linea"},
    /*  72 */ {"Rating", "Рейтинг", "Rating", "Classement", "Elo"},
    /*  73 */ {"Title", "Звание", "Título", "Titre", "Titolo"},
    /*  74 */ {"Country", "Страна", "País", "Pays", "Nazione"},
    /*  75 */ {"Tournament", "Турнир", "Torneio", "Tournoi", "Torneo"},
    /*  76 */ {"Round", "Тур", "Rodada", "Ronde", "Turno"},
    /*  77 */ {"Site", "Место", "Local", "Lieu", "Luogo"},
    /*  78 */ {"Annotator", "Комментатор", "Comentarista", "Annotateur", "Commentatore"},
    /*  79 */ {"Result", "Результат", "Resultado", "Résultat", "Risultato"},
    /*  80 */ {"Year", "Год", "Ano", "Année", "Anno"},
    /*  81 */ {"Month", "Месяц", "Mês", "Mois", "Mese"},
    /*  82 */ {"Day", "День", "Dia", "Jour", "Giorno"},
    /*  83 */ {"Cancel", "Отмена", "Cancelar", "Annuler", "Annulla"},
    /*  84 */ {"To move:", "Очередь хода:", "Vez de jogar:", "Trait aux :", "Muove:"},
    /*  85 */ {"First move", "Первый ход", "Primeiro lance", "Premier coup", "Prima mossa"},
    /*  86 */ {"Database not opened.", "База данных не открыта.", "Nenhum banco de dados aberto.", "Aucune base de données ouverte.", "Nessun database aperto."},
    /*  87 */ {"Port:", "Порт:", "Porta:", "Port :", "Porta:"},
    /*  88 */ {"Move comment", "Комментарий к ходу", "Comentário do lance", "Commentaire du coup", "Commento alla mossa"},
    /*  89 */ {"Engine", "Движок", "Motor", "Moteur", "Motore"},
    /*  90 */ {"Book", "Дебютная книга", "Livro de aberturas", "Bibliothèque", "Libro delle aperture"},
    /*  91 */ {"Use book moves", "Ходы из дебютной книги", "Usar lances do livro", "Utiliser la bibliothèque", "Usa le mosse del libro"},
    /*  92 */ {"Browse", "Обзор", "Procurar", "Parcourir", "Sfoglia"},
    /*  93 */ {"Memory usage", "Использование памяти", "Uso de memória", "Utilisation de la mémoire", "Uso della memoria"},
    /*  94 */ {"Analysis for", "Время анализа", "Analisar por", "Analyser pendant", "Analizza per"},
    /*  95 */ {"Inaccurate evaluation", "Неточная оценка", "Avaliação imprecisa", "Évaluation imprécise", "Valutazione imprecisa"},
    /*  96 */ {"Explode variations", "Развернуть варианты", "Expandir variantes", "Développer les variantes", "Espandi le varianti"},
    /*  97 */ {"Select move", "Выбор хода", "Escolher lance", "Choisir le coup", "Scegli la mossa"},
    /*  98 */ {"New move", "Новый ход", "Novo lance", "Nouveau coup", "Nuova mossa"},
    /*  99 */ {"New variation", "Новый вариант", "Nova variante", "Nouvelle variante", "Nuova variante"},
    /* 100 */ {"Replace", "Заменить", "Substituir", "Remplacer", "Sostituisci"},
    /* 101 */ {"Open database", "Открыть базу", "Abrir banco de dados", "Ouvrir une base", "Apri database"},
    /* 102 */ {"Import", "Импорт", "Importar", "Importer", "Importa"},
    /* 103 */ {"CleanUp database", "Очистка базы", "Limpar banco de dados", "Nettoyer la base", "Pulisci database"},
    /* 104 */ {"Close database window", "Закрыть окно базы", "Fechar janela do banco de dados", "Fermer la fenêtre de la base", "Chiudi la finestra del database"},
    /* 105 */ {"New search", "Новый поиск", "Nova pesquisa", "Nouvelle recherche", "Nuova ricerca"},
    /* 106 */ {"Reset", "Сбросить", "Redefinir", "Réinitialiser", "Azzera"},
    /* 107 */ {"Level", "Уровень", "Nível", "Niveau", "Livello"},
    /* 108 */ {"Load", "Загрузить", "Carregar", "Charger", "Carica"},
    /* 109 */ {"Save", "Сохранить", "Salvar", "Enregistrer", "Salva"},
    /* 110 */ {"Delete", "Удалить", "Excluir", "Supprimer", "Elimina"},
    /* 111 */ {"Edit header", "Изменить заголовок", "Editar cabeçalho", "Modifier l'en-tête", "Modifica intestazione"},
    /* 112 */ {"Copy", "Копировать", "Copiar", "Copier", "Copia"},
    /* 113 */ {"Export", "Экспорт", "Exportar", "Exporter", "Esporta"},
    /* 114 */ {"Tools", "Сервис", "Ferramentas", "Outils", "Strumenti"},
    /* 115 */ {"Sort games list", "Сортировать список партий", "Ordenar lista de partidas", "Trier la liste des parties", "Ordina l'elenco delle partite"},
    /* 116 */ {"Save current list", "Сохранить текущий список", "Salvar lista atual", "Enregistrer la liste actuelle", "Salva l'elenco attuale"},
    /* 117 */ {"Build tree", "Построить дерево", "Construir árvore", "Construire l'arbre", "Costruisci l'albero"},
    /* 118 */ {"Make tournaments list", "Составить список турниров", "Gerar lista de torneios", "Créer la liste des tournois", "Crea l'elenco dei tornei"},
    /* 119 */ {"Names", "Имена", "Nomes", "Noms", "Nomi"},
    /* 120 */ {"Date", "Дата", "Data", "Date", "Data"},
    /* 121 */ {"Res", "Рез.", "Res.", "Rés.", "Ris."},
    /* 122 */ {"Players", "Игроки", "Jogadores", "Joueurs", "Giocatori"},
    /* 123 */ {"Ignore colors", "Без учёта цвета", "Ignorar cores", "Ignorer les couleurs", "Ignora i colori"},
    /* 124 */ {"Moves", "Ходы", "Lances", "Coups", "Mosse"},
    /* 125 */ {"Comments", "Комментарии", "Comentários", "Commentaires", "Commenti"},
    /* 126 */ {"Variations", "Варианты", "Variantes", "Variantes", "Varianti"},
    /* 127 */ {"Position", "Позиция", "Posição", "Position", "Posizione"},
    /* 128 */ {"White moves", "Ход белых", "Brancas jogam", "Les blancs jouent", "Muove il Bianco"},
    /* 129 */ {"Black moves", "Ход чёрных", "Pretas jogam", "Les noirs jouent", "Muove il Nero"},
    /* 130 */ {"Start", "Начать", "Iniciar", "Lancer", "Avvia"},
    /* 131 */ {"Reversed", "Перевёрнутая", "Invertida", "Inversée", "Invertita"},
    /* 132 */ {"", "", "", "", ""},
    /* 133 */ {"", "", "", "", ""},
    /* 134 */ {"", "", "", "", ""},
    /* 135 */ {"Sound", "Звук", "Som", "Son", "Suono"},
    /* 136 */ {"Tournament mode", "Турнирный режим", "Modo torneio", "Mode tournoi", "Modalità torneo"},
    /* 137 */ {"Not enough memory!", "Недостаточно памяти!", "Memória insuficiente!", "Mémoire insuffisante !", "Memoria insufficiente!"},
    /* 138 */ {"Interface", "Интерфейс", "Interface", "Interface", "Interfaccia"},
    /* 139 */ {"Notation", "Нотация", "Notação", "Notation", "Notazione"},
    /* 140 */ {"Short (cd4; 4-8)", "Краткая (cd4; 4-8)", "Curta (cd4; 4-8)", "Courte (cd4; 4-8)", "Breve (cd4; 4-8)"},
    /* 141 */ {"Full (c3-d4; 04-08)", "Полная (c3-d4; 04-08)", "Completa (c3-d4; 04-08)", "Complète (c3-d4; 04-08)", "Completa (c3-d4; 04-08)"},
    /* 142 */ {"Take-char", "Знак взятия", "Sinal de captura", "Signe de prise", "Segno di presa"},
    /* 143 */ {"Replace game No ", "Заменить партию № ", "Replace game No ", "Remplacer la partie n° ", "Sostituire la partita n. "},
    /* 144 */ {" with the current one?", " на текущую?", " with the current one?", " par la partie actuelle ?", " con quella attuale?"},
    /* 145 */ {"Clear all comments", "Удалить все комментарии", "Apagar todos os comentários", "Effacer tous les commentaires", "Cancella tutti i commenti"},
    /* 146 */ {"Czech", "Чешские шашки", "Damas tchecas", "Tchèque", "Ceca"},
    /* 147 */ {"Draw", "Ничья", "Draw", "Draw", "Draw"},
    /* 148 */ {"Highlight last move", "Выделять последний ход", "Destacar o último lance", "Surligner le dernier coup", "Evidenzia l'ultima mossa"},
    /* 149 */ {"Offer draw", "Предложить ничью", "Propor empate", "Proposer la nulle", "Proponi la patta"},
    /* 150 */ {"Export diagram", "Экспорт диаграммы", "Exportar diagrama", "Exporter le diagramme", "Esporta diagramma"},
    /* 151 */ {"Select all", "Выделить все", "Selecionar tudo", "Tout sélectionner", "Seleziona tutto"},
    /* 152 */ {"Deselect all", "Снять выделение", "Desmarcar tudo", "Tout désélectionner", "Deseleziona tutto"},
    /* 153 */ {"Check database", "Проверить базу", "Verificar banco de dados", "Vérifier la base", "Verifica database"},
    /* 154 */ {"Match games", "Поиск повторов партий", "Procurar partidas repetidas", "Rechercher les doublons", "Cerca partite doppie"},
    /* 155 */ {"Headers", "Заголовки", "Cabeçalhos", "En-têtes", "Intestazioni"},
    /* 156 */ {"Set", "Установить", "Definir", "Définir", "Imposta"},
    /* 157 */ {"Select colors", "Выбрать цвета", "Escolher cores", "Choisir les couleurs", "Scegli i colori"},
    /* 158 */ {"", "", "", "", ""},
    /* 159 */ {"", "", "", "", ""},
};
// clang-format on

constexpr std::array<std::string_view, kPhraseCount * kPhraseColumns> BuildTable() {
    std::array<std::string_view, kPhraseCount * kPhraseColumns> t{};
    for (int k = 0; k < kPhraseCount; ++k)
        for (int l = 1; l <= kLanguageCount; ++l)
            t[kPhraseColumns * k + l - 1] = kRows[k].text[l - 1];
    return t;
}

} // namespace

constinit const std::array<std::string_view, kPhraseCount* kPhraseColumns> PhraseTable = BuildTable();

int ValidLanguage(int language) {
    return language >= 1 && language <= kLanguageCount ? language : langEnglish;
}

std::string_view PhraseText(int phrase, int language) {
    // The table is indexed by both numbers; an unchecked language or phrase would read past it or
    // into a neighbouring phrase.
    if (phrase < 0 || phrase >= kPhraseCount) return {};
    return PhraseTable[kPhraseColumns * phrase + ValidLanguage(language) - 1];
}

std::string PhraseTextCp1251(int phrase, int language) {
    // A letter CP1251 lacks keeps its base letter ("données" -> "donnees") rather than becoming "?".
    return Utf8ToCp1251BestFit(PhraseText(phrase, language));
}
