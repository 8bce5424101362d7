<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>TAboutBox</name>
    <message>
        <source>Визуализация данных электроразведочной станции ZEL-TERRAVOX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Документы: README.txt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Документы: /usr/share/doc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Программа станции
ZEL-TERRAVOX для ПК
Данные: чтение, вывод
Электроды и прошивка
Лицензия: GPL-3.0+
Справка: Help, Contents
%1
Командная строка: zeltool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ZEL-TERRAVOX — свободная программа под GNU GPL версии 3 или новее (файл LICENSE).
Библиотеки: Qt 6 — LGPL-3.0; QCustomPlot — GPL-3.0 или новее; libxlsxwriter — BSD-2-Clause;
Eigen — MPL-2.0; CHOLMOD — GPL-2.0 или новее; METIS — Apache-2.0; OpenBLAS — BSD-3-Clause;
zlib — лицензия zlib. Подробно: THIRD-PARTY.txt.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TCompareWindow</name>
    <message>
        <source>Инверсия первого измерения...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Изменение: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Первое измерение: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Остановлено: сравнение не закончено.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сравнение невозможно: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Изменение во времени</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить изменение...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Общих квадруполей: %1; только в первом измерении: %2, только во втором: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные изменились после этого сравнения: оно устарело.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TDataCheckWindow</name>
    <message>
        <source>Проверка данных</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Линия</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ρк, Ом·м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Погр., %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Признаки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Исключить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Исключить все отмеченные</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Включить все</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет значений с положениями электродов.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ноль</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>слабый сигнал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>отрицательное</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>выброс</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>погрешность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>каналы</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TFileCommands</name>
    <message>
        <source>Файл ZEL-TERRAVOX (*.zel)|*.zel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл ZEL-TERRAVOX_New (*.zel)|*.zel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Текстовый файл (*.txt)|*.txt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Книга Excel (*.xlsx)|*.xlsx</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>THelpWindow</name>
    <message>
        <source>Назад</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вперёд</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Содержание</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TInversionDialog</name>
    <message>
        <source>Инверсия</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L%1 F%2 (линия %1, файл %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Устойчивая (робастная) инверсия: выбросы весят меньше</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Брать значения, отмеченные проверкой данных</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Профиль:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сглаживание λ (начальное):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Итераций не больше:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вертикальное / горизонтальное сглаживание:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Исключённые значения в инверсию не входят. Результат — гладкая модель, одна из многих, согласных с данными: смотрите покрытие и расхождение.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Глубинность исследования (индекс DOI): ещё две инверсии</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Контур индекса DOI:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>наименьшая в профиле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Гц</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Частота:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Частотный эффект (ВП): заряжаемость по двум частотам</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сопротивление на наименьшей частоте профиля, затем заряжаемость ячеек по частотному эффекту против наибольшей</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TLinesWindow</name>
    <message>
        <source>Инверсия линий...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Линия %1 из %2. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Остановлено: показаны линии прежней инверсии, если она была.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все линии</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Глубина плана, м:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 не обращена: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все линии лежат на одном Y: задайте каждой линии её Y в геометрии линий, чтобы увидеть план.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обращено линий: %1, из них объясняют данные: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 не в плане: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные изменились после этой инверсии: план устарел.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Одна 3D-модель всех линий...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3D-модель. </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Остановлено до первой модели: показана прежняя, если она была.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обратить:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>линии по одной</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>одна 3D-модель</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обратить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез под линией:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить модель...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 не в модели: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3D-модель %1 линий: %2 данных, %3 ячеек, χ² %4, RRMS %5 %%6.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, остановлено до конца</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 в 3D-модели</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные изменились после этой инверсии: модель устарела.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TPictureDialog</name>
    <message>
        <source>Размер рисунка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> пикс.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> точек/дюйм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ширина:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Высота:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрешение:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TProfileWindow</name>
    <message>
        <source>U, мВ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R = U / I, Ом</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TPseudosectionWindow</name>
    <message>
        <source>
кан.%1  a %2  b %3  m %4  n %5  k %6 м  ρк %7 Ом·м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> — исключено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Щелчок выбирает значение; Delete, Ctrl+щелчок или меню исключают его, Ctrl+Z отменяет.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вернуть в инверсию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Исключить из инверсии</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отменить последнее исключение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ρк</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>частотный эффект, %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>металл-фактор</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSectionWindow</name>
    <message>
        <source>Разрез сопротивлений</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные изменились после этой инверсии: разрез устарел. «Инверсия заново» пересчитает его.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Инверсия заново</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить модель...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Остановлено: показана модель итерации с наименьшим χ².</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Инверсия невозможна: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x = %1 м, высота %2 м, глубина %3 м, ρ = %4 Ом·м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шкала, Ом·м:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>логарифмическая</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>линейная</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>держать между инверсиями</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Следующая инверсия рисуется в той же шкале: разрезы можно сравнивать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вертикальный масштаб:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>по окну</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Изолинии</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: сетка строится...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x = %1 м, высота %2 м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x = %1 м, псевдоглубина %2 м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, модельное %1 Ом·м, расхождение %2 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Итерация %1 из %2, χ² %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Модель этой итерации — модель разреза: у неё наименьший χ²</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Модель разреза — итерации %1, с наименьшим χ²</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Глубинность исследования, инверсия %1 из 2: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, индекс DOI %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Глубинность исследования не посчитана: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Остановлено до первой модели.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сравнить с...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Изменение во времени: этот профиль против более раннего измерения той же линии</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Данные станции (*.zel)|*.zel|pyGIMLi/BERT (*.ohm)|*.ohm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>«%1» не читается как данные станции</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Прежнее измерение «%1» не сравнивается: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; не взято значений ρк не больше 0 или вне 1e-4–1e8 Ом·м: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x = %1 м, псевдоглубина %2 м: ρк измеренное %3 Ом·м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измеренные ρк</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Модельные ρк</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Расхождение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Перетаскивание сдвигает, колесо мыши увеличивает; «Вертикальный масштаб» возвращает весь разрез</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Частотный эффект</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSequenceDialog</name>
    <message>
        <source>Сохранить...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать в станцию...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Взаимные измерения (M, N, A, B) после таблицы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Веннер</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Веннер–Шлюмберже</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диполь-диполь</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSoundingWindow</name>
    <message>
        <source>Зондирование</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Кривая</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез по зондированиям</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Лист разносов...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AB/2 и MN/2 каждой станции для измерений без положений электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Добавить слой</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Удалить слой</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подобрать число слоёв</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Наименьшее число слоёв, которое объясняет данные; закреплённое отпускается</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ρ, Ом·м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>h, м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ρ от – до</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S = h/ρ, См</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отметка: значение закреплено при подборе</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>В данных нет профилей.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T = h·ρ = %1 Ом·м²</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 в точке %2 м: %3 измерений; слоёв %4, χ² %5, RRMS %6 %; гладкая модель: RRMS %7 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез строится по двум зондированиям и более в разных точках; их здесь %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AB/2 = %1 м, MN/2 = %2 м: ρк = %3 Ом·м; слоистая модель %4, гладкая %5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез: зондирования интерпретированы в %1 профилях из %2…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез остановлен; он будет построен, когда вкладка откроется снова.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Остановить интерпретацию зондирований для разреза</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез: зондирования интерпретируются…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез: зондирований %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Профили, которые не зондирования: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измерений с ρк ≤ 0 не взято: %1 (перепутаны провода?).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSpacingsDialog</name>
    <message>
        <source>Лист разносов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Строка на станцию: номер станции, AB/2 и MN/2 в метрах. Строки до первого раздела — лист всех профилей; раздел [Line 3 File 1] — лист своего профиля, Centre= — его центр на линии, м.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TStationCommands</name>
    <message>
        <source>Файл прошивки (*.bin)|*.bin</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSurveyCommands</name>
    <message>
        <source>Рельеф (*.txt *.csv *.dat)|*.txt;*.csv;*.dat|Все файлы|*.*</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TSurveyDialog</name>
    <message>
        <source>Геометрия съёмки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>четыре диполя подряд: канал k между M + (k−1)·d и N + (k−1)·d, d = N − M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>только первый канал: у каналов 2–4 положений нет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шаг электродов:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Положение электрода 0 (x0):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Каналы:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> мВ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Слабый сигнал, |U| меньше:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выброс, отношение к соседям больше:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Погрешность, больше:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Погрешность без оценки (.ohm):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 нужно число от %2 до %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Наименьшая погрешность (.ohm):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L%1 F%2 (линия %1, файл %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Своя геометрия (иначе — как по умолчанию)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шаг измерен вдоль склона (лентой по земле): x по горизонтали — из высот</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обратное направление: электрод 0 в дальнем конце, x = x0 − n · шаг</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл рельефа...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Без рельефа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x или электрод</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z, м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Профиль:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шаг электродов профиля:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x0 профиля:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Рельеф:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Геометрия профиля</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Положение электрода с номером n: x = x0 + n · шаг; отрицательные номера A и B лежат левее нуля. Геометрия каналов — допущение о подключении станции: сверьте её с документацией станции. Своя геометрия профиля хранится рядом с файлом данных («файл.zel.survey»).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>По умолчанию (все профили)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет (ровная линия)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>по номерам электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>по x, м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>x, м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Где линия лежит поперёк площади: параллельные линии — каждая на своём Y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Y профиля (поперёк площади):</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1: %n точек, %2</source>
        <translation>
            <numerusform>%1: %n точка, %2</numerusform>
            <numerusform>%1: %n точки, %2</numerusform>
            <numerusform>%1: %n точек, %2</numerusform>
        </translation>
    </message>
    <message>
        <source>между электродами %1 и %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>между x = %1 и %2 м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Рельеф круче 45°: %1 перепад %2 м на %3 м. Проверьте высоты в файле рельефа.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
