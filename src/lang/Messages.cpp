#include "Messages.h"

#include "core/Codecs.h"
#include "core/Files.h"
#include "core/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <QVariant>

#include <memory>

namespace {

struct Entry
{
    const char *Key;
    const char16_t *Default;
};

// clang-format off
const Entry Table[size_t(Msg::Count)] = {
    {"U_LMASKRESULT", u"Вопрос %d из %d"},
    {"U_LABELQUESTION", u"Вопрос"},
    {"U_LABDATEZK", u"Сегодня - dddd, d mmmm yyyy"},
    {"U_LABGRUPPMEZK", u"Группа (класс, организация)"},
    {"U_LABFIOMEZK", u"Фамилия, Инициалы"},
    {"U_LABPASSWORDZK", u"Введите пароль"},
    {"U_ERROR", u"Ошибка"},
    {"U_WARNING", u"Внимание"},
    {"U_LABNOTGRUPPZK", u"Не введены данные по группе."},
    {"U_LABFIOMEZK", u"Не введены данные по экзаменуемом."},
    {"U_LABOPISANIEZK", u"В списках данных об экзамениуемых введите или выберите:  Вашу группу (класс или организацию) и Ваши фамилию и имя."},
    {"U_GRPGRUPPFIO", u"Данные об экзаменуемом"},
    {"U_BUTNEXT", u"Далее>>"},
    {"U_BUTEXIT", u"Конец"},
    {"U_DLGEXITPROGRAMM", u"Закончить работу с программой?"},
    {"U_RESST", u"Вы ответили правильно на %d процентов ответов"},
    {"U_REPORTBUTTON1", u"Подробно..."},
    {"M_SETEX1RES", u"Все ответы"},
    {"M_SETEXRAPORT", u"Вывод результатов ответов на экзамен"},
    {"M_SETEXDATETIME", u"Дата и время экзамена"},
    {"M_RAPORTEXAM", u"Экзамен"},
    {"M_RAPORTAUTHOR", u"Автор:"},
    {"M_RAPORTALLQU", u"Всего вопросов в экзамене:"},
    {"M_RAPORTYES", u"Разрешен"},
    {"M_RAPORTNO", u"Не разрешен"},
    {"M_RAPORTLIMITTIME", u"Временное ограничение на ответы"},
    {"M_RAPORTOPISQUE", u"Вопрос:"},
    {"M_RAPORTOCN", u"Ответов \"Не знаю\""},
    {"U_REPORTSAVE", u"Сохранить"},
    {"U_REPORTQVEST", u"Ответ:"},
    {"U_REPORTALL", u"Всего:"},
    {"U_REPORTQ5", u"правильных ответов"},
    {"U_REPORTQ2", u"не правильных ответов"},
    {"U_REPORTNOT", u"не"},
    {"U_REPORTYES", u"верен"},
    {"U_NOTPASSWORD", u"Введен неверный пароль. Повторите ввод."},
    {"U_NOPASSW", u"Не введен пароль!"},
    {"U_DLDPASSW", u"Подтверждение пароля"},
    {"U_DLDPASSWEDIT", u"Введите свой пароль"},
    {"U_YESPASSW", u"Введенный пароль уже зарегистрирован в системе. Повторите ввод."},
    {"U_ERRORNONETDB", u"Сетевой ресурс недоступен. Нет доступа к сети. Программа будет закрыта."},
    {"U_ALLTIMEEXAM", u"Общее время экзамена"},
    {"U_ALLTIMEQ", u"Общее время ответов"},
    {"U_TIMEQ1", u"Время на ответ"},
    {"U_REPQ", u"Ответы:"},
    {"U_REP0", u"Правильный:"},
    {"U_REP1", u"Выбранный :"},
    {"M_NOTKNOWW", u"Не знаю"},
    {"U_TANSV0", u"Текущее время ответа %d сек."},
    {"U_TANSV1", u"Осталось %d сек."},
    {"U_NOATSIGN", u"Символ @ не допускается в данных об экзаменуемом."},
    {"U_PWLUNAVAILABLE", u"Список паролей недоступен. Повторите ввод."},
    {"U_PWLNOTWRITTEN", u"Список паролей недоступен для записи. Пароль не зарегистрирован. Повторите ввод."},
    {"U_JOURNALPENDING", u"Журнал результатов недоступен. Результат сохранён на этой станции и будет записан позже."},
    {"U_REPORTNOTSAVED", u"Отчёт не сохранён: файл недоступен для записи."},
    {"U_BUSYFOLDER", u"Подключение к папке журналов…"},
    {"U_BUSYPASSWORD", u"Проверка пароля…"},
    {"U_BUSYRECORDS", u"Запись результатов…"},
    {"U_STOPWAITING", u"Не ждать"},
    {"U_RESULTSWAITING", u"Ждут записи результатов: %d"},
    {"S_NEGATIVEDISCRIMINATION", u"отрицательная различительность"},
    {"S_TOOEASY", u"слишком лёгкий"},
    {"S_TOOHARD", u"слишком трудный"},
    {"S_OFTENUNKNOWN", u"часто «Не знаю»"},
    {"S_WEAKENS", u"ослабляет тест"},
    {"R_TITLE", u"Результаты экзаменов"},
    {"R_FOLDER", u"Папка журналов:"},
    {"R_CHOOSE", u"Выбрать…"},
    {"R_ACCOUNT", u"Пользователь и пароль общей папки:"},
    {"R_SHOW", u"Показать"},
    {"R_GROUP", u"Группа:"},
    {"R_FROM", u"с"},
    {"R_TO", u"по"},
    {"R_ALLATTEMPTS", u"Все попытки"},
    {"R_EXAM", u"Экзамен:"},
    {"R_SAVEPDF", u"Сохранить PDF…"},
    {"R_SUMMARY", u"Экзаменуемых %d, вопросов %d. Процент: среднее %s, медиана %s, от %s до %s. Альфа %s, ошибка измерения %s."},
    {"R_MARKS", u"Оценки: %s"},
    {"R_HISTOGRAM", u"Проценты экзаменуемых"},
    {"R_ITEMMAP", u"Лёгкость (по горизонтали) и различительность (по вертикали)"},
    {"R_COLUMNS", u"№|Лёгкость|Различительность|Верхние - нижние|Не знаю|Альфа без вопроса|Замечания|Выбранные ответы|Вопрос"},
    {"R_NOJOURNAL", u"В папке нет журнала результатов Journal.fzj, или он недоступен."},
    {"R_NOEXAM", u"Ни у одного экзамена нет результатов."},
    {"R_PDFNOTSAVED", u"PDF не сохранён: файл недоступен для записи."},
    {"R_BADDATE", u"Дата «%s» не читается: нужна дата календаря в виде ДД/ММ/ГГ, например 05/03/26."},
    {"R_TOOFEW", u"мало экзаменуемых для выводов: %d (вопросы отмечаются от 20)"},
    {"R_COLUMNTIPS", u"Номер вопроса в файле экзамена|Лёгкость: сколько процентов экзаменуемых ответили верно. Хорошо от 20 до 90|Различительность: насколько верный ответ на вопрос идёт вместе с высоким баллом за остальные вопросы (корреляция, в процентах). Хорошо от 30; ниже 0 - вероятно, верным отмечен не тот ответ|Верхние - нижние: на сколько процентов чаще отвечали верно лучшие 27 % экзаменуемых, чем худшие 27 %. Хорошо от 30|Сколько процентов экзаменуемых ответили «Не знаю»|Альфа без вопроса: надёжность экзамена без этого вопроса. Если она выше альфы всего экзамена, вопрос ослабляет экзамен|Замечания к вопросу|Сколько раз выбран каждый ответ (по файлам отчётов)|Текст вопроса"},
    {"R_MADE", u"Папка %s. Составлено %s. Отбор: %s"},
    {"R_NOFILTER", u"все экзаменуемые"},
    {"R_MEASUREMENT", u"Ошибка измерения: на сколько вопросов может ошибаться балл одного экзаменуемого; чем меньше, тем лучше. Альфа: надёжность экзамена, хорошо от 0,7"},
    {"E_TITLE", u"Редактор экзаменов"},
    {"E_FILE", u"&Файл"},
    {"E_NEW", u"&Новый"},
    {"E_OPEN", u"&Открыть…"},
    {"E_SAVE", u"&Сохранить"},
    {"E_SAVEAS", u"Сохранить &как…"},
    {"E_IMPORT", u"&Импорт банка вопросов…"},
    {"E_CHECK", u"&Проверить экзамен"},
    {"E_QUIT", u"В&ыход"},
    {"E_EDITMENU", u"&Правка"},
    {"E_UNDO", u"&Отменить"},
    {"E_REDO", u"&Вернуть"},
    {"E_QUESTIONS", u"Вопросы"},
    {"E_ADD", u"Добавить"},
    {"E_DUPLICATE", u"Копировать"},
    {"E_DELETE", u"Удалить"},
    {"E_UP", u"Вверх"},
    {"E_DOWN", u"Вниз"},
    {"E_EXAMPAGE", u"Экзамен"},
    {"E_QUESTIONPAGE", u"Вопрос"},
    {"E_KIND", u"Вид вопроса:"},
    {"E_KINDS", u"Текстовые ответы|Ответы-рисунки|Список ответов с рисунком"},
    {"E_TEXT", u"Текст вопроса:"},
    {"E_ANSWER", u"Ответ %d"},
    {"E_RIGHT", u"Верный ответ %d"},
    {"E_PICTURE", u"Рисунок…"},
    {"E_QPICTURE", u"Рисунок вопроса:"},
    {"E_SHUFFLE", u"Перемешивать ответы"},
    {"E_TIME", u"Время на ответ, с (0 без ограничения):"},
    {"E_PROBLEMS", u"Замечания"},
    {"E_MARKSORDER", u"пороги оценок должны убывать: 5 >= 4 >= 3 >= 2"},
    {"E_NORIGHT", u"вопрос %d: верный ответ не выбран"},
    {"E_NOPICTURE", u"%s: нет рисунка %s"},
    {"E_TOOMANY", u"вопрос %d: ответов больше, чем помещается"},
    {"E_EMPTY", u"вопрос %d: нет текста вопроса"},
    {"E_BIGPICTURE", u"%s: рисунок %s слишком велик"},
    {"E_SAVECHANGES", u"Сохранить изменения?"},
    {"E_FILTER", u"Файл вопросов|*.fzk|Единый файл с рисунками|*.uzk"},
    {"E_SCRAMBLED", u"Шифровать файл вопросов"},
    {"E_OPENFILTER", u"Экзамены|*.fzk;*.uzk|Банки вопросов|*.gift;*.txt;*.xml"},
    {"E_NOTSAVED", u"Файл не сохранён: он недоступен для записи."},
    {"E_NOTOPENED", u"Файл не открыт: %s"},
    {"E_NOPLAYER", u"Программа экзамена tarvik не найдена."},
    {"E_RECENT", u"&Недавние файлы"},
    {"E_MANAGERFILE", u"Файл &менеджера…"},
    {"E_ROSTERFILE", u"Список &экзаменуемых…"},
    {"E_MANAGERCOLUMNS", u"Предмет|Файл экзамена|Пользователь общей папки|Пароль|Категория"},
    {"E_ROSTERCOLUMNS", u"Группа|Фамилия, имя"},
    {"E_MANAGERFILTER", u"Файл менеджера|*.fzm"},
    {"E_ROSTERFILTER", u"Список экзаменуемых|JSpisok.fzj;*.fzj"},
    {"F_TOPEDIT", u"Заголовок титульной страницы"},
    {"F_CEDIT", u"Тема экзамена"},
    {"F_BUTEDIT", u"Подпись внизу титульной страницы"},
    {"F_JOBTITLE", u"Составитель"},
    {"F_SURNAME", u"Описание"},
    {"F_PATHGRAPH", u"Рисунок титульной страницы"},
    {"F_HELPEXAM", u"Порядок ответов на вопросы"},
    {"F_ANRAND", u"Вопросы в случайном порядке"},
    {"F_YTIME", u"Ограничивать время ответа"},
    {"F_ANSVTMBOL", u"Показывать время ответа"},
    {"F_BOLNOTKNOW", u"Разрешить ответ «Не знаю»"},
    {"F_TIPOC", u"Оценка на странице результата"},
    {"F_SAVEJUORNAL", u"Вести журналы и регистрацию"},
    {"F_SPISOK", u"Выбор из списка экзаменуемых"},
    {"F_YESPASSWORD", u"Пароли экзаменуемых"},
    {"F_DUBLPWRD", u"Подтверждать новый пароль"},
    {"F_DBNET", u"Журналы в общей папке"},
    {"F_PATHDBNET", u"Общая папка (\\\\сервер\\папка)"},
    {"F_LOGINDBNET", u"Пользователь общей папки"},
    {"F_PASWDBNET", u"Пароль общей папки"},
    {"F_DBNETLOCAL", u"Без сети писать в папку программы"},
    {"F_DBNET_1", u"Подключаться один раз"},
    {"F_INFIP1", u"Сервер наблюдения 1"},
    {"F_IP1", u"Адрес сервера наблюдения 1"},
    {"F_VISITACKBAR", u"Во весь экран поверх всех окон"},
    {"F_TASKBAR", u"Скрыть кнопку программы на панели задач"},
    {"F_YESREPORT", u"Сохранять файл отчёта"},
    {"F_YESRESULT", u"Показывать подробный отчёт"},
    {"F_GRSTRETCH", u"Растягивать рисунок титульной страницы"},
    {"F_FONTTOPSTR", u"Шрифт заголовка"},
    {"F_FONTCEDIT", u"Шрифт темы"},
    {"F_FONTBUTEDIT", u"Шрифт подписи"},
    {"F_FONTJOBEDIT", u"Шрифт составителя и описания"},
    {"F_FONTHELPEXAM", u"Шрифт порядка ответов"},
    {"F_FONTQUESTION", u"Шрифт вопросов"},
    {"F_FONTANSWER", u"Шрифт ответов"},
    {"F_FONTRES", u"Шрифт подробного отчёта"},
    {"F_ANSVTM", u"Часы ответа"},
    {"F_RNOTKNOW", u"Прибавка за ответы «Не знаю»"},
    {"F_NOTKNOWPLUS", u"Процентов за каждый ответ «Не знаю»"},
    {"F_NOTKNOWLIMIT", u"Прибавка до процента"},
    {"F_NOTKNOWPLUS3", u"Процентов один раз"},
    {"F_NOTKNOWLIMIT3", u"Прибавка один раз до процента"},
    {"F_OC", u"Слово после оценки"},
    {"F_O5", u"Текст оценки 5"},
    {"F_O4", u"Текст оценки 4"},
    {"F_O3", u"Текст оценки 3"},
    {"F_O2", u"Текст оценки 2"},
    {"F_PO5", u"Оценка 5 от процента"},
    {"F_PO4", u"Оценка 4 от процента"},
    {"F_PO3", u"Оценка 3 от процента (ниже 3 - оценка 2)"},
    {"F_PO2", u"Оценка 2 от процента (хранится)"},
    {"F_INFIP2", u"Сервер наблюдения 2"},
    {"F_IP2", u"Адрес сервера наблюдения 2"},
    {"F_INFIP3", u"Сервер наблюдения 3"},
    {"F_IP3", u"Адрес сервера наблюдения 3"},
    {"F_LANGUAGE", u"Язык (номер раздела файла языка)"},
    {"F_UNILANG", u"Тексты языка из файла экзамена"},
    {"F_TIPRESULT", u"Вид подробного отчёта"},
    {"E_GTITLE", u"Титульная страница"},
    {"E_GQUESTIONS", u"Инструкция и вопросы"},
    {"E_GTIMING", u"Время ответа"},
    {"E_GDONTKNOW", u"Ответ «Не знаю»"},
    {"E_GMARKS", u"Оценки"},
    {"E_GREGISTRATION", u"Регистрация и журналы"},
    {"E_GMONITOR", u"Наблюдение"},
    {"E_GWINDOW", u"Окно и отчёт"},
    {"E_FONT", u"Шрифт…"},
    {"E_COLOR", u"Цвет…"},
    {"E_TIPOCCHOICES", u"Ставить оценку по порогам|Не ставить оценку"},
    {"E_ANSVTMCHOICES", u"Показывать затраченное время|Показывать оставшееся время"},
    {"E_RNOTKNOWCHOICES", u"Без прибавки|За каждый ответ «Не знаю»|Один раз"},
    {"E_TIPRESULTCHOICES", u"Все ответы|Верные и выбранные|Выбранные верные|Выбранные неверные"},
    {"E_BADPICTURE", u"%s: рисунок %s не может быть показан"},
    {"E_TITLEPICTURE", u"рисунок титульной страницы %s не найден или не может быть показан"},
    {"E_SHARENAME", u"Имя вида \\\\сервер\\папка редактор не открывает и не сохраняет: подключите общую папку в файловом менеджере и выберите файл в ней."},
    {"E_CHANGEDONDISK", u"Файл %s изменён другой программой после того, как был открыт здесь. Заменить его?"},
    {"E_NOSETUP", u"В файле %s нет раздела [Setup]: это не экзамен, или он зашифрован другим ключом."},
    {"E_NOQUESTIONS", u"В файле %s нет ни одного вопроса, который можно взять в экзамен."},
    {"E_CHECKSHARE", u"Проверить подключение"},
    {"E_SHAREOK", u"Общая папка доступна."},
    {"E_SHAREFAILED", u"Общая папка недоступна (код %d)."},
    {"E_BANKFILTER", u"Банки вопросов|*.gift;*.txt;*.xml|Все файлы|*"},
    {"E_BANKDESCRIPTION", u"вопрос %d: нет ответов (это описание)"},
    {"E_BANKNOTCHOICE", u"вопрос %d: ответ не выбирается, а вводится (число или эссе)"},
    {"E_BANKMATCHING", u"вопрос %d: вопрос на соответствие"},
    {"E_BANKSHORTANSWER", u"вопрос %d: короткий ответ, а не выбор из ответов"},
    {"E_BANKSEVERALRIGHT", u"вопрос %d: несколько верных ответов, а экзамен берёт один"},
    {"E_BANKNORIGHT", u"вопрос %d: ни один ответ не отмечен верным"},
    {"E_BANKNOANSWERLINE", u"вопрос %d: нет строки ANSWER"},
    {"E_BANKNOSUCHANSWER", u"вопрос %d: среди его ответов нет ответа %s"},
    {"E_BANKFEWANSWERS", u"вопрос %d: меньше двух ответов"},
    {"E_BANKTOOMANY", u"вопрос %d: ответов %s, а вопрос экзамена берёт не больше 5"},
    {"E_BANKOFTYPE", u"вопрос %d: вопрос вида %s"},
    {"E_BANKXML", u"ошибка XML в строке %d: %s"},
    {"E_BANKNOTXML", u"это не банк вопросов Moodle XML"},
    {"E_TIMEOFF", u"вопрос %d: время на ответ не действует, пока в экзамене не включено «Ограничивать время ответа» (страница «Время ответа»)"},
    {"E_MARKWORDS", u"Оценка:|отлично|хорошо|удовлетворительно|неудовлетворительно"},
    {"E_NOMARKTEXT", u"текст оценки %d пуст: экзаменуемый не увидит этой оценки (страница «Оценки»)"},
    {"E_NOLISTPICTURE", u"вопрос %d: у вопроса со списком ответов нет рисунка"},
    {"E_QUESTIONPLACE", u"вопрос %d"},
    {"E_ANSWERPLACE", u"вопрос %d, ответ %d"},
    {"E_FONTSTYLES", u"полужирный|курсив|подчёркнутый|зачёркнутый"},
    {"H_TOPEDIT", u"Строка над темой на титульной странице"},
    {"H_FONTTOPSTR", u"Шрифт и цвет строки над темой"},
    {"H_CEDIT", u"Тема экзамена: на титульной странице, в заголовке окна и в журналах"},
    {"H_FONTCEDIT", u"Шрифт и цвет темы на титульной странице"},
    {"H_BUTEDIT", u"Строка внизу титульной страницы"},
    {"H_FONTBUTEDIT", u"Шрифт и цвет строки внизу титульной страницы"},
    {"H_JOBTITLE", u"Кто составил экзамен: на титульной странице и в отчёте"},
    {"H_SURNAME", u"Несколько строк об экзамене на титульной странице"},
    {"H_FONTJOBEDIT", u"Шрифт и цвет составителя и описания"},
    {"H_PATHGRAPH", u"Рисунок титульной страницы (JPEG, GIF или BMP); хранится вместе с экзаменом"},
    {"H_GRSTRETCH", u"Растягивать рисунок титульной страницы на всё его место"},
    {"H_HELPEXAM", u"Текст страницы перед вопросами; пустой - стандартный порядок ответов"},
    {"H_FONTHELPEXAM", u"Шрифт страницы перед вопросами"},
    {"H_FONTQUESTION", u"Шрифт текста вопросов"},
    {"H_FONTANSWER", u"Шрифт текста ответов"},
    {"H_ANRAND", u"Задавать вопросы в случайном порядке, каждому экзаменуемому в своём"},
    {"H_YTIME", u"Закрывать вопрос, когда вышло его время на ответ (время задаётся у вопроса)"},
    {"H_ANSVTM", u"Что показывают часы вопроса: прошедшие или оставшиеся секунды"},
    {"H_ANSVTMBOL", u"Показывать часы в заголовке вопроса"},
    {"H_BOLNOTKNOW", u"Дать экзаменуемому ответ «Не знаю» и прибавку к проценту за него"},
    {"H_RNOTKNOW", u"Как считается прибавка за ответы «Не знаю»"},
    {"H_NOTKNOWPLUS", u"Сколько процентов прибавить за каждый ответ «Не знаю»"},
    {"H_NOTKNOWLIMIT", u"Прибавлять, пока процент не дойдёт до этого"},
    {"H_NOTKNOWPLUS3", u"Сколько процентов прибавить один раз, если были ответы «Не знаю»"},
    {"H_NOTKNOWLIMIT3", u"Прибавлять один раз, если процент ниже этого"},
    {"H_TIPOC", u"Ставить оценку по порогам ниже или не ставить её"},
    {"H_OC", u"Слово перед текстом оценки в строке результата, например «Оценка:»"},
    {"H_O5", u"Что видит экзаменуемый при оценке 5, например «отлично»"},
    {"H_O4", u"Что видит экзаменуемый при оценке 4, например «хорошо»"},
    {"H_O3", u"Что видит экзаменуемый при оценке 3, например «удовлетворительно»"},
    {"H_O2", u"Что видит экзаменуемый при оценке 2, например «неудовлетворительно»"},
    {"H_PO5", u"Наименьший процент для оценки 5"},
    {"H_PO4", u"Наименьший процент для оценки 4"},
    {"H_PO3", u"Наименьший процент для оценки 3; ниже - оценка 2"},
    {"H_PO2", u"Хранится в файле и оценку не меняет: ниже порога оценки 3 всегда оценка 2"},
    {"H_SAVEJUORNAL", u"Регистрировать экзаменуемых и записывать результаты в журналы"},
    {"H_SPISOK", u"Выбирать группу и имя из списка, а не вводить их"},
    {"H_YESPASSWORD", u"Спрашивать пароль каждого экзаменуемого"},
    {"H_DUBLPWRD", u"Вводить новый пароль дважды"},
    {"H_DBNET", u"Журналы в общей папке на сервере, а не в папке программы"},
    {"H_PATHDBNET", u"Общая папка журналов в виде \\\\сервер\\папка"},
    {"H_LOGINDBNET", u"Имя пользователя для общей папки"},
    {"H_PASWDBNET", u"Пароль пользователя общей папки"},
    {"H_DBNETLOCAL", u"Если общая папка недоступна, писать журналы в папку программы"},
    {"H_DBNET_1", u"Подключаться к общей папке один раз при запуске, а не перед каждой записью"},
    {"H_CHECKSHARE", u"Подключиться к общей папке сейчас и сказать, удалось ли"},
    {"H_INFIP1", u"Отправлять ход экзамена на сервер наблюдения 1"},
    {"H_IP1", u"Адрес сервера наблюдения 1 (имя или IP)"},
    {"H_INFIP2", u"Отправлять ход экзамена на сервер наблюдения 2"},
    {"H_IP2", u"Адрес сервера наблюдения 2 (имя или IP)"},
    {"H_INFIP3", u"Отправлять ход экзамена на сервер наблюдения 3"},
    {"H_IP3", u"Адрес сервера наблюдения 3 (имя или IP)"},
    {"H_VISITACKBAR", u"Окно экзамена во весь экран поверх других окон"},
    {"H_TASKBAR", u"Не показывать кнопку программы на панели задач"},
    {"H_LANGUAGE", u"Номер раздела файла языка для текстов программы; 0 - русский"},
    {"H_UNILANG", u"Брать тексты программы из файла экзамена, а не из файла языка"},
    {"H_YESREPORT", u"Сохранять зашифрованный файл отчёта каждого экзаменуемого"},
    {"H_YESRESULT", u"Показывать подробный отчёт на странице результата"},
    {"H_TIPRESULT", u"Что входит в подробный отчёт"},
    {"H_FONTRES", u"Шрифт подробного отчёта"},
    {"H_KIND", u"Текстовые ответы, ответы-рисунки или список ответов с рисунком вопроса"},
    {"H_TEXT", u"Текст вопроса, как его видит экзаменуемый"},
    {"H_ANSWER", u"Текст ответа %d"},
    {"H_RIGHT", u"Отметьте верный ответ"},
    {"H_APICTURE", u"Рисунок ответа %d (JPEG, GIF или BMP)"},
    {"H_QPICTURE", u"Рисунок вопроса рядом со списком ответов"},
    {"H_SHUFFLE", u"Показывать ответы в случайном порядке"},
    {"H_TIME", u"Секунды на ответ, 0 - без ограничения; ставя время, вы включаете «Ограничивать время ответа» экзамена"},
    {"A_EXAM", u"Экзамен"},
    {"A_PAGES", u"Страницы экзамена"},
    {"A_EMPTYPAGE", u"Пустая страница"},
    {"A_PAGETEXT", u"Вопрос с текстовыми ответами"},
    {"A_PAGEPICTURE", u"Вопрос с ответами-рисунками"},
    {"A_PAGELIST", u"Вопрос с рисунком и списком ответов"},
    {"A_QUESTION", u"Вопрос"},
    {"A_QUESTIONNUMBER", u"Номер вопроса"},
    {"A_ANSWERTIME", u"Время ответа"},
    {"A_DIVIDER", u"Граница вопроса и ответов"},
    {"A_QUESTIONTEXT", u"Текст вопроса"},
    {"A_ANSWERS", u"Ответы"},
    {"A_ANSWER", u"Ответ %d"},
    {"A_ANSWERTEXT", u"Текст ответа %d"},
    {"A_ANSWERPICTURE", u"Рисунок ответа %d"},
    {"A_ZOOMANSWER", u"Увеличить рисунок ответа %d"},
    {"A_ZOOM", u"Увеличить"},
    {"A_QUESTIONPICTURE", u"Рисунок вопроса"},
    {"A_ZOOMQUESTION", u"Увеличить рисунок вопроса"},
    {"A_ANSWERLIST", u"Список ответов"},
    {"A_TITLEPAGE", u"Титульная страница"},
    {"A_TITLEPICTURE", u"Рисунок титульной страницы"},
    {"A_HEADING", u"Заголовок"},
    {"A_SUBJECT", u"Тема экзамена"},
    {"A_FOOTER", u"Подпись"},
    {"A_AUTHOR", u"Автор"},
    {"A_DESCRIPTION", u"Описание"},
    {"A_INSTRUCTIONSPAGE", u"Порядок ответов"},
    {"A_INSTRUCTIONS", u"Порядок ответов на вопросы"},
    {"A_REGISTRATION", u"Регистрация"},
    {"A_DATE", u"Дата"},
    {"A_GUIDANCE", u"Указания"},
    {"A_EXAMINEE", u"Данные об экзаменуемом"},
    {"A_GROUP", u"Группа"},
    {"A_NAME", u"Фамилия, Имя"},
    {"A_PASSWORD", u"Пароль"},
    {"A_PICTURE", u"Рисунок"},
    {"A_RESULTPAGE", u"Результат"},
    {"A_RESULTDIVIDER", u"Граница итогов и отчёта"},
    {"A_SUMMARYPANEL", u"Итоги"},
    {"A_SUMMARY", u"Итоги экзамена"},
    {"A_REPORT", u"Подробный отчёт"},
    {"A_BUTTONBAR", u"Панель кнопок"},
    {"A_ANSWERROLE", u"Ответ"},
    {"A_STATUS", u"Состояние"},
    {"A_PROGRESS", u"Построение отчёта"},
    {"A_SERVERLINK", u"Связь с сервером наблюдения"},
    {"A_NEWEXAM", u"Новый экзамен"},
    {"A_NEXTSTEP", u"Следующий шаг"},
};
// clang-format on

} // namespace

QString MessageKey(Msg msg, int tipResult)
{
    QString key = QString::fromLatin1(Table[size_t(msg)].Key);
    if (msg == Msg::M_SETEX1RES)
        key += QString::number(tipResult + 1);
    return key;
}

QString MessageDefault(Msg msg)
{
    return QString::fromUtf16(Table[size_t(msg)].Default);
}

TMessages::TMessages()
{
    for (size_t i = 0; i < Texts.size(); ++i)
        Texts[i] = MessageDefault(Msg(i));
}

TMessages ReadLanguageSection(const TLineList &source, int number, int tipResult)
{
    TLineList section;
    GetSection(source, section, QString::number(number));
    TMessages table;
    table.Charset = ReadInt(section, QStringLiteral("U_CHARSET"), 0);
    table.Locale = ReadStr(section, QStringLiteral("U_LOCALE"),
                           number == 0 ? QStringLiteral("ru") : QString());
    for (size_t i = 0; i < table.Texts.size(); ++i)
        table.Texts[i] =
            ShownText(ReadStr(section, MessageKey(Msg(i), tipResult), MessageDefault(Msg(i))),
                      ShownLimit::Label);
    return table;
}

QStringList LanguageFileCandidates(const QString &fileName, const QString &programDir)
{
    const QString bare = BareFileName(fileName);
    return {fileName,
            JoinPath(programDir, bare),
            bare,
            JoinPath(UserDataDir(), bare),
            JoinPath(InstalledDataDir(), bare),
            JoinPath(QStringLiteral("/usr/share/tarvik"), bare)};
}

QString FindLanguageFile(const QString &fileName, const QString &programDir,
                         const std::function<bool(const QString &)> &exists)
{
    for (const QString &candidate : LanguageFileCandidates(fileName, programDir))
        if (!candidate.isEmpty() && exists(candidate))
            return candidate;
    return QString();
}

TLineList ProgramLanguageText()
{
    TLineList source;
    const QString found =
        FindLanguageFile(ExecutableDir() + QStringLiteral("Language.fll"), ExecutableDir(),
                         [](const QString &p) { return QFileInfo(p).isFile(); });
    if (!found.isEmpty())
        source.LoadFromFile(found);
    return source;
}

QString FormatMessage(const QString &pattern, const QList<QVariant> &values)
{
    QString out;
    int next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'%' && i + 1 < pattern.size()) {
            const QChar f = pattern.at(i + 1);
            if (f == u'%') {
                out += u'%';
                ++i;
                continue;
            }
            if (f == u'd' || f == u's') {
                if (next < values.size())
                    out += values[next].toString();
                ++next;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool UseStandardTexts(const QString &locale)
{
    static std::unique_ptr<QTranslator> installed;
    static QString installedLocale;
    if (installed && installedLocale == locale)
        return true;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
        installedLocale.clear();
    }
    if (locale.isEmpty() || !QCoreApplication::instance())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    installedLocale = locale;
    return true;
}

TMessages ProgramMessages(int section)
{
    TMessages messages = ReadLanguageSection(ProgramLanguageText(), section, 0);
    UseStandardTexts(messages.Locale);
    return messages;
}
