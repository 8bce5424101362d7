<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>TAboutBox</name>
    <message>
        <source>Визуализация данных электроразведочной станции ZEL-TERRAVOX</source>
        <translation>Data visualisation for the ZEL-TERRAVOX station</translation>
    </message>
    <message>
        <source>Документы: README.txt</source>
        <translation>Documents: README.txt</translation>
    </message>
    <message>
        <source>Документы: /usr/share/doc</source>
        <translation>Documents: /usr/share/doc</translation>
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
        <translation>Station program
ZEL-TERRAVOX for PC
Data: reading, output
Electrodes and firmware
Licence: GPL-3.0+
Help: Help, Contents
%1
Command line: zeltool</translation>
    </message>
    <message>
        <source>ZEL-TERRAVOX — свободная программа под GNU GPL версии 3 или новее (файл LICENSE).
Библиотеки: Qt 6 — LGPL-3.0; QCustomPlot — GPL-3.0 или новее; libxlsxwriter — BSD-2-Clause;
Eigen — MPL-2.0; CHOLMOD — GPL-2.0 или новее; METIS — Apache-2.0; OpenBLAS — BSD-3-Clause;
zlib — лицензия zlib. Подробно: THIRD-PARTY.txt.</source>
        <translation>ZEL-TERRAVOX is free software under the GNU GPL version 3 or later (the file LICENSE).
Libraries: Qt 6 — LGPL-3.0; QCustomPlot — GPL-3.0 or later; libxlsxwriter — BSD-2-Clause;
Eigen — MPL-2.0; CHOLMOD — GPL-2.0 or later; METIS — Apache-2.0; OpenBLAS — BSD-3-Clause;
zlib — the zlib licence. In detail: THIRD-PARTY.txt.</translation>
    </message>
</context>
<context>
    <name>TCompareWindow</name>
    <message>
        <source>Инверсия первого измерения...</source>
        <translation>Inverting the first reading...</translation>
    </message>
    <message>
        <source>Изменение: </source>
        <translation>Change: </translation>
    </message>
    <message>
        <source>Первое измерение: </source>
        <translation>First reading: </translation>
    </message>
    <message>
        <source>Остановлено: сравнение не закончено.</source>
        <translation>Stopped: the comparison is not finished.</translation>
    </message>
    <message>
        <source>Сравнение невозможно: %1</source>
        <translation>The readings cannot be compared: %1</translation>
    </message>
    <message>
        <source>Изменение во времени</source>
        <translation>Time-lapse change</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Сохранить изменение...</source>
        <translation>Save the change...</translation>
    </message>
    <message>
        <source>Общих квадруполей: %1; только в первом измерении: %2, только во втором: %3.</source>
        <translation>Quadripoles in common: %1; of the first reading only: %2, of the later only: %3.</translation>
    </message>
    <message>
        <source>Данные изменились после этого сравнения: оно устарело.</source>
        <translation>The data changed since this comparison: it is out of date.</translation>
    </message>
</context>
<context>
    <name>TDataCheckWindow</name>
    <message>
        <source>Проверка данных</source>
        <translation>Data check</translation>
    </message>
    <message>
        <source>№</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>Линия</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>ρк, Ом·м</source>
        <translation>ρa, Ohm·m</translation>
    </message>
    <message>
        <source>Погр., %</source>
        <translation>Error, %</translation>
    </message>
    <message>
        <source>Признаки</source>
        <translation>Flags</translation>
    </message>
    <message>
        <source>Исключить</source>
        <translation>Exclude</translation>
    </message>
    <message>
        <source>Исключить все отмеченные</source>
        <translation>Exclude all flagged</translation>
    </message>
    <message>
        <source>Включить все</source>
        <translation>Include all</translation>
    </message>
    <message>
        <source>Нет значений с положениями электродов.</source>
        <translation>No value has electrode positions.</translation>
    </message>
    <message>
        <source>ноль</source>
        <translation>zero</translation>
    </message>
    <message>
        <source>слабый сигнал</source>
        <translation>low signal</translation>
    </message>
    <message>
        <source>отрицательное</source>
        <translation>negative</translation>
    </message>
    <message>
        <source>выброс</source>
        <translation>spike</translation>
    </message>
    <message>
        <source>погрешность</source>
        <translation>error</translation>
    </message>
    <message>
        <source>каналы</source>
        <translation>channels</translation>
    </message>
</context>
<context>
    <name>TFileCommands</name>
    <message>
        <source>Файл ZEL-TERRAVOX (*.zel)|*.zel</source>
        <translation>ZEL-TERRAVOX file (*.zel)|*.zel</translation>
    </message>
    <message>
        <source>Файл ZEL-TERRAVOX_New (*.zel)|*.zel</source>
        <translation>ZEL-TERRAVOX_New file (*.zel)|*.zel</translation>
    </message>
    <message>
        <source>Текстовый файл (*.txt)|*.txt</source>
        <translation>Text file (*.txt)|*.txt</translation>
    </message>
    <message>
        <source>Книга Excel (*.xlsx)|*.xlsx</source>
        <translation>Excel workbook (*.xlsx)|*.xlsx</translation>
    </message>
</context>
<context>
    <name>THelpWindow</name>
    <message>
        <source>Назад</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Вперёд</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Содержание</source>
        <translation>Contents</translation>
    </message>
</context>
<context>
    <name>TInversionDialog</name>
    <message>
        <source>Инверсия</source>
        <translation>Inversion</translation>
    </message>
    <message>
        <source>L%1 F%2 (линия %1, файл %2)</source>
        <translation>L%1 F%2 (line %1, file %2)</translation>
    </message>
    <message>
        <source>Устойчивая (робастная) инверсия: выбросы весят меньше</source>
        <translation>Robust inversion: outliers weigh less</translation>
    </message>
    <message>
        <source>Брать значения, отмеченные проверкой данных</source>
        <translation>Use values the data check flagged</translation>
    </message>
    <message>
        <source>Профиль:</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>Сглаживание λ (начальное):</source>
        <translation>Smoothing λ (at the start):</translation>
    </message>
    <message>
        <source>Итераций не больше:</source>
        <translation>Iterations at most:</translation>
    </message>
    <message>
        <source>Вертикальное / горизонтальное сглаживание:</source>
        <translation>Vertical / horizontal smoothing:</translation>
    </message>
    <message>
        <source>Исключённые значения в инверсию не входят. Результат — гладкая модель, одна из многих, согласных с данными: смотрите покрытие и расхождение.</source>
        <translation>Excluded values are not inverted. The result is a smooth model, one of many that fit the data: look at the coverage and the misfit.</translation>
    </message>
    <message>
        <source>Глубинность исследования (индекс DOI): ещё две инверсии</source>
        <translation>Depth of investigation (DOI index): two more inversions</translation>
    </message>
    <message>
        <source>Контур индекса DOI:</source>
        <translation>DOI index contour:</translation>
    </message>
    <message>
        <source>наименьшая в профиле</source>
        <translation>the lowest of the profile</translation>
    </message>
    <message>
        <source>%1 Гц</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>Частота:</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>Частотный эффект (ВП): заряжаемость по двум частотам</source>
        <translation>Frequency effect (IP): chargeability from the two frequencies</translation>
    </message>
    <message>
        <source>Сопротивление на наименьшей частоте профиля, затем заряжаемость ячеек по частотному эффекту против наибольшей</source>
        <translation>The resistivity at the profile&apos;s lowest frequency, then the cells&apos; chargeability from the frequency effect against the highest</translation>
    </message>
</context>
<context>
    <name>TLinesWindow</name>
    <message>
        <source>Инверсия линий...</source>
        <translation>Inverting the lines...</translation>
    </message>
    <message>
        <source>Линия %1 из %2. </source>
        <translation>Line %1 of %2. </translation>
    </message>
    <message>
        <source>Остановлено: показаны линии прежней инверсии, если она была.</source>
        <translation>Stopped: the lines of the run before are shown, if there was one.</translation>
    </message>
    <message>
        <source>Все линии</source>
        <translation>All lines</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Глубина плана, м:</source>
        <translation>Depth of the plan, m:</translation>
    </message>
    <message>
        <source>%1 не обращена: %2</source>
        <translation>%1 not inverted: %2</translation>
    </message>
    <message>
        <source>Все линии лежат на одном Y: задайте каждой линии её Y в геометрии линий, чтобы увидеть план.</source>
        <translation>All lines lie at one Y: give each line its Y in the lines&apos; geometry to see a plan.</translation>
    </message>
    <message>
        <source>Обращено линий: %1, из них объясняют данные: %2.</source>
        <translation>Lines inverted: %1, of them explaining their data: %2.</translation>
    </message>
    <message>
        <source>%1 не в плане: %2</source>
        <translation>%1 is not in the plan: %2</translation>
    </message>
    <message>
        <source>Данные изменились после этой инверсии: план устарел.</source>
        <translation>The data changed since this inversion: the plan is out of date.</translation>
    </message>
    <message>
        <source>Одна 3D-модель всех линий...</source>
        <translation>One 3D model of every line...</translation>
    </message>
    <message>
        <source>3D-модель. </source>
        <translation>3D model. </translation>
    </message>
    <message>
        <source>Остановлено до первой модели: показана прежняя, если она была.</source>
        <translation>Stopped before the first model: the one before is shown, if there was one.</translation>
    </message>
    <message>
        <source>Обратить:</source>
        <translation>Invert:</translation>
    </message>
    <message>
        <source>линии по одной</source>
        <translation>lines one by one</translation>
    </message>
    <message>
        <source>одна 3D-модель</source>
        <translation>one 3D model</translation>
    </message>
    <message>
        <source>Обратить</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>Разрез под линией:</source>
        <translation>Section under the line:</translation>
    </message>
    <message>
        <source>Сохранить модель...</source>
        <translation>Save model...</translation>
    </message>
    <message>
        <source>%1 не в модели: %2</source>
        <translation>%1 is not in the model: %2</translation>
    </message>
    <message>
        <source>3D-модель %1 линий: %2 данных, %3 ячеек, χ² %4, RRMS %5 %%6.</source>
        <translation>3D model of %1 lines: %2 data, %3 cells, χ² %4, RRMS %5 %%6.</translation>
    </message>
    <message>
        <source>, остановлено до конца</source>
        <translation>, stopped before the end</translation>
    </message>
    <message>
        <source>%1 в 3D-модели</source>
        <translation>%1 in the 3D model</translation>
    </message>
    <message>
        <source>Данные изменились после этой инверсии: модель устарела.</source>
        <translation>The data changed after this inversion: the model is out of date.</translation>
    </message>
</context>
<context>
    <name>TPictureDialog</name>
    <message>
        <source>Размер рисунка</source>
        <translation>Picture size</translation>
    </message>
    <message>
        <source> пикс.</source>
        <translation> px</translation>
    </message>
    <message>
        <source> точек/дюйм</source>
        <translation> dpi</translation>
    </message>
    <message>
        <source>Ширина:</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>Высота:</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>Разрешение:</source>
        <translation>Resolution:</translation>
    </message>
</context>
<context>
    <name>TProfileWindow</name>
    <message>
        <source>U, мВ</source>
        <translation>U, mV</translation>
    </message>
    <message>
        <source>R = U / I, Ом</source>
        <translation>R = U / I, Ohm</translation>
    </message>
</context>
<context>
    <name>TPseudosectionWindow</name>
    <message>
        <source>
кан.%1  a %2  b %3  m %4  n %5  k %6 м  ρк %7 Ом·м</source>
        <translation>
ch%1  a %2  b %3  m %4  n %5  k %6 m  rhoa %7 Ohm·m</translation>
    </message>
    <message>
        <source> — исключено</source>
        <translation> — excluded</translation>
    </message>
    <message>
        <source>Щелчок выбирает значение; Delete, Ctrl+щелчок или меню исключают его, Ctrl+Z отменяет.</source>
        <translation>A click chooses a value; Delete, Ctrl+click or the menu exclude it, Ctrl+Z undoes.</translation>
    </message>
    <message>
        <source>Вернуть в инверсию</source>
        <translation>Take back into the inversion</translation>
    </message>
    <message>
        <source>Исключить из инверсии</source>
        <translation>Exclude from the inversion</translation>
    </message>
    <message>
        <source>Отменить последнее исключение</source>
        <translation>Undo the last exclusion</translation>
    </message>
    <message>
        <source>ρк</source>
        <translation>ρa</translation>
    </message>
    <message>
        <source>частотный эффект, %</source>
        <translation>frequency effect, %</translation>
    </message>
    <message>
        <source>металл-фактор</source>
        <translation>metal factor</translation>
    </message>
</context>
<context>
    <name>TSectionWindow</name>
    <message>
        <source>Разрез сопротивлений</source>
        <translation>Resistivity section</translation>
    </message>
    <message>
        <source>Данные изменились после этой инверсии: разрез устарел. «Инверсия заново» пересчитает его.</source>
        <translation>The data changed since this inversion: the section is out of date. &quot;Invert again&quot; computes it anew.</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Инверсия заново</source>
        <translation>Invert again</translation>
    </message>
    <message>
        <source>Сохранить модель...</source>
        <translation>Save model...</translation>
    </message>
    <message>
        <source>Остановлено: показана модель итерации с наименьшим χ².</source>
        <translation>Stopped: the model of the iteration with the lowest χ² is shown.</translation>
    </message>
    <message>
        <source>Инверсия невозможна: %1</source>
        <translation>Cannot invert: %1</translation>
    </message>
    <message>
        <source>x = %1 м, высота %2 м, глубина %3 м, ρ = %4 Ом·м</source>
        <translation>x = %1 m, elevation %2 m, depth %3 m, ρ = %4 Ohm·m</translation>
    </message>
    <message>
        <source>Шкала, Ом·м:</source>
        <translation>Scale, Ohm·m:</translation>
    </message>
    <message>
        <source>логарифмическая</source>
        <translation>logarithmic</translation>
    </message>
    <message>
        <source>линейная</source>
        <translation>linear</translation>
    </message>
    <message>
        <source>держать между инверсиями</source>
        <translation>hold between runs</translation>
    </message>
    <message>
        <source>Следующая инверсия рисуется в той же шкале: разрезы можно сравнивать</source>
        <translation>The next inversion is drawn on the same scale: sections can be compared</translation>
    </message>
    <message>
        <source>Вертикальный масштаб:</source>
        <translation>Vertical exaggeration:</translation>
    </message>
    <message>
        <source>по окну</source>
        <translation>fit the window</translation>
    </message>
    <message>
        <source>Изолинии</source>
        <translation>Contours</translation>
    </message>
    <message>
        <source>%1: сетка строится...</source>
        <translation>%1: building the mesh...</translation>
    </message>
    <message>
        <source>x = %1 м, высота %2 м</source>
        <translation>x = %1 m, elevation %2 m</translation>
    </message>
    <message>
        <source>x = %1 м, псевдоглубина %2 м</source>
        <translation>x = %1 m, pseudo-depth %2 m</translation>
    </message>
    <message>
        <source>, модельное %1 Ом·м, расхождение %2 %</source>
        <translation>, modelled %1 Ohm·m, misfit %2 %</translation>
    </message>
    <message>
        <source>Итерация %1 из %2, χ² %3</source>
        <translation>Iteration %1 of %2, χ² %3</translation>
    </message>
    <message>
        <source>Модель этой итерации — модель разреза: у неё наименьший χ²</source>
        <translation>This iteration&apos;s model is the section&apos;s: it has the lowest χ²</translation>
    </message>
    <message>
        <source>Модель разреза — итерации %1, с наименьшим χ²</source>
        <translation>The section&apos;s model is iteration %1&apos;s, with the lowest χ²</translation>
    </message>
    <message>
        <source>Глубинность исследования, инверсия %1 из 2: %2</source>
        <translation>Depth of investigation, inversion %1 of 2: %2</translation>
    </message>
    <message>
        <source>, индекс DOI %1</source>
        <translation>, DOI index %1</translation>
    </message>
    <message>
        <source>Глубинность исследования не посчитана: %1</source>
        <translation>The depth of investigation was not computed: %1</translation>
    </message>
    <message>
        <source>Остановлено до первой модели.</source>
        <translation>Stopped before the first model.</translation>
    </message>
    <message>
        <source>Сравнить с...</source>
        <translation>Compare with...</translation>
    </message>
    <message>
        <source>Изменение во времени: этот профиль против более раннего измерения той же линии</source>
        <translation>Time-lapse: this profile against an earlier reading of the same line</translation>
    </message>
    <message>
        <source>Данные станции (*.zel)|*.zel|pyGIMLi/BERT (*.ohm)|*.ohm</source>
        <translation>Station data (*.zel)|*.zel|pyGIMLi/BERT (*.ohm)|*.ohm</translation>
    </message>
    <message>
        <source>«%1» не читается как данные станции</source>
        <translation>“%1” cannot be read as station data</translation>
    </message>
    <message>
        <source>Прежнее измерение «%1» не сравнивается: %2</source>
        <translation>The earlier reading &quot;%1&quot; is not compared: %2</translation>
    </message>
    <message>
        <source>; не взято значений ρк не больше 0 или вне 1e-4–1e8 Ом·м: %1</source>
        <translation>; apparent resistivities not above 0 or outside 1e-4–1e8 Ohm·m left out: %1</translation>
    </message>
    <message>
        <source>x = %1 м, псевдоглубина %2 м: ρк измеренное %3 Ом·м</source>
        <translation>x = %1 m, pseudo-depth %2 m: ρa measured %3 Ohm·m</translation>
    </message>
    <message>
        <source>Измеренные ρк</source>
        <translation>Measured ρa</translation>
    </message>
    <message>
        <source>Модельные ρк</source>
        <translation>Modelled ρa</translation>
    </message>
    <message>
        <source>Расхождение</source>
        <translation>Misfit</translation>
    </message>
    <message>
        <source>Перетаскивание сдвигает, колесо мыши увеличивает; «Вертикальный масштаб» возвращает весь разрез</source>
        <translation>Drag to pan, the mouse wheel zooms; &quot;Vertical exaggeration&quot; brings the whole section back</translation>
    </message>
    <message>
        <source>Частотный эффект</source>
        <translation>Frequency effect</translation>
    </message>
</context>
<context>
    <name>TSequenceDialog</name>
    <message>
        <source>Сохранить...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>Записать в станцию...</source>
        <translation>Upload...</translation>
    </message>
    <message>
        <source>Взаимные измерения (M, N, A, B) после таблицы</source>
        <translation>Reciprocals (M, N, A, B) after the table</translation>
    </message>
    <message>
        <source>Веннер</source>
        <translation>Wenner</translation>
    </message>
    <message>
        <source>Веннер–Шлюмберже</source>
        <translation>Wenner–Schlumberger</translation>
    </message>
    <message>
        <source>Диполь-диполь</source>
        <translation>Dipole-dipole</translation>
    </message>
</context>
<context>
    <name>TSoundingWindow</name>
    <message>
        <source>Зондирование</source>
        <translation>Sounding</translation>
    </message>
    <message>
        <source>Кривая</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>Разрез по зондированиям</source>
        <translation>Section of the soundings</translation>
    </message>
    <message>
        <source>Лист разносов...</source>
        <translation>Spacing sheet...</translation>
    </message>
    <message>
        <source>AB/2 и MN/2 каждой станции для измерений без положений электродов</source>
        <translation>AB/2 and MN/2 of each station, for measurements without electrode positions</translation>
    </message>
    <message>
        <source>Добавить слой</source>
        <translation>Add layer</translation>
    </message>
    <message>
        <source>Удалить слой</source>
        <translation>Remove layer</translation>
    </message>
    <message>
        <source>Подобрать число слоёв</source>
        <translation>Fewest layers</translation>
    </message>
    <message>
        <source>Наименьшее число слоёв, которое объясняет данные; закреплённое отпускается</source>
        <translation>The fewest layers that explain the data; held values are let go</translation>
    </message>
    <message>
        <source>ρ, Ом·м</source>
        <translation>ρ, Ohm·m</translation>
    </message>
    <message>
        <source>h, м</source>
        <translation>h, m</translation>
    </message>
    <message>
        <source>ρ от – до</source>
        <translation>ρ from – to</translation>
    </message>
    <message>
        <source>S = h/ρ, См</source>
        <translation>S = h/ρ, S</translation>
    </message>
    <message>
        <source>Отметка: значение закреплено при подборе</source>
        <translation>Ticked: the value is held in the fit</translation>
    </message>
    <message>
        <source>В данных нет профилей.</source>
        <translation>The data have no profiles.</translation>
    </message>
    <message>
        <source>T = h·ρ = %1 Ом·м²</source>
        <translation>T = h·ρ = %1 Ohm·m²</translation>
    </message>
    <message>
        <source>%1 в точке %2 м: %3 измерений; слоёв %4, χ² %5, RRMS %6 %; гладкая модель: RRMS %7 %</source>
        <translation>%1 at %2 m: %3 data; %4 layers, χ² %5, RRMS %6 %; smooth model: RRMS %7 %</translation>
    </message>
    <message>
        <source>Разрез строится по двум зондированиям и более в разных точках; их здесь %1.</source>
        <translation>A section needs two soundings or more at different centres; there are %1 here.</translation>
    </message>
    <message>
        <source>AB/2 = %1 м, MN/2 = %2 м: ρк = %3 Ом·м; слоистая модель %4, гладкая %5</source>
        <translation>AB/2 = %1 m, MN/2 = %2 m: ρa = %3 Ohm·m; layered model %4, smooth %5</translation>
    </message>
    <message>
        <source>Разрез: зондирования интерпретированы в %1 профилях из %2…</source>
        <translation>Section: soundings interpreted in %1 of %2 profiles…</translation>
    </message>
    <message>
        <source>Разрез остановлен; он будет построен, когда вкладка откроется снова.</source>
        <translation>Section stopped; it will be made when the tab is opened again.</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Остановить интерпретацию зондирований для разреза</source>
        <translation>Stop interpreting the soundings for the section</translation>
    </message>
    <message>
        <source>Разрез: зондирования интерпретируются…</source>
        <translation>Section: interpreting the soundings…</translation>
    </message>
    <message>
        <source>Разрез: зондирований %1.</source>
        <translation>Section: %1 soundings.</translation>
    </message>
    <message>
        <source>Профили, которые не зондирования: %1.</source>
        <translation>Profiles that are no sounding: %1.</translation>
    </message>
    <message>
        <source>Измерений с ρк ≤ 0 не взято: %1 (перепутаны провода?).</source>
        <translation>Readings of ρa ≤ 0 left out: %1 (wires swapped?).</translation>
    </message>
</context>
<context>
    <name>TSpacingsDialog</name>
    <message>
        <source>Лист разносов</source>
        <translation>Spacing sheet</translation>
    </message>
    <message>
        <source>Строка на станцию: номер станции, AB/2 и MN/2 в метрах. Строки до первого раздела — лист всех профилей; раздел [Line 3 File 1] — лист своего профиля, Centre= — его центр на линии, м.</source>
        <translation>A row a station: the station number, AB/2 and MN/2 in metres. Rows before the first section are the sheet of every profile; a section [Line 3 File 1] holds its profile&apos;s own sheet, Centre= its centre along the line, m.</translation>
    </message>
</context>
<context>
    <name>TStationCommands</name>
    <message>
        <source>Файл прошивки (*.bin)|*.bin</source>
        <translation>Firmware file (*.bin)|*.bin</translation>
    </message>
</context>
<context>
    <name>TSurveyCommands</name>
    <message>
        <source>Рельеф (*.txt *.csv *.dat)|*.txt;*.csv;*.dat|Все файлы|*.*</source>
        <translation>Topography (*.txt *.csv *.dat)|*.txt;*.csv;*.dat|All files|*.*</translation>
    </message>
</context>
<context>
    <name>TSurveyDialog</name>
    <message>
        <source>Геометрия съёмки</source>
        <translation>Survey geometry</translation>
    </message>
    <message>
        <source> м</source>
        <translation> m</translation>
    </message>
    <message>
        <source>четыре диполя подряд: канал k между M + (k−1)·d и N + (k−1)·d, d = N − M</source>
        <translation>four dipoles in a row: channel k between M + (k−1)·d and N + (k−1)·d, d = N − M</translation>
    </message>
    <message>
        <source>только первый канал: у каналов 2–4 положений нет</source>
        <translation>first channel only: channels 2–4 have no positions</translation>
    </message>
    <message>
        <source>Шаг электродов:</source>
        <translation>Electrode spacing:</translation>
    </message>
    <message>
        <source>Положение электрода 0 (x0):</source>
        <translation>Position of electrode 0 (x0):</translation>
    </message>
    <message>
        <source>Каналы:</source>
        <translation>Channels:</translation>
    </message>
    <message>
        <source> мВ</source>
        <translation> mV</translation>
    </message>
    <message>
        <source>Слабый сигнал, |U| меньше:</source>
        <translation>Low signal, |U| below:</translation>
    </message>
    <message>
        <source>Выброс, отношение к соседям больше:</source>
        <translation>Spike, ratio to the neighbours above:</translation>
    </message>
    <message>
        <source>Погрешность, больше:</source>
        <translation>Error estimate above:</translation>
    </message>
    <message>
        <source>Погрешность без оценки (.ohm):</source>
        <translation>Error without an estimate (.ohm):</translation>
    </message>
    <message>
        <source>%1 нужно число от %2 до %3.</source>
        <translation>%1 needs a number from %2 to %3.</translation>
    </message>
    <message>
        <source>Наименьшая погрешность (.ohm):</source>
        <translation>Least error (.ohm):</translation>
    </message>
    <message>
        <source>L%1 F%2 (линия %1, файл %2)</source>
        <translation>L%1 F%2 (line %1, file %2)</translation>
    </message>
    <message>
        <source>Своя геометрия (иначе — как по умолчанию)</source>
        <translation>A geometry of its own (else the same as the default)</translation>
    </message>
    <message>
        <source>Шаг измерен вдоль склона (лентой по земле): x по горизонтали — из высот</source>
        <translation>The spacing was taped along the slope: horizontal x follows from the heights</translation>
    </message>
    <message>
        <source>Обратное направление: электрод 0 в дальнем конце, x = x0 − n · шаг</source>
        <translation>Reversed: electrode 0 at the far end, x = x0 − n · spacing</translation>
    </message>
    <message>
        <source>Файл рельефа...</source>
        <translation>Topography file...</translation>
    </message>
    <message>
        <source>Без рельефа</source>
        <translation>No topography</translation>
    </message>
    <message>
        <source>x или электрод</source>
        <translation>x or electrode</translation>
    </message>
    <message>
        <source>z, м</source>
        <translation>z, m</translation>
    </message>
    <message>
        <source>Профиль:</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>Шаг электродов профиля:</source>
        <translation>Electrode spacing of the profile:</translation>
    </message>
    <message>
        <source>x0 профиля:</source>
        <translation>x0 of the profile:</translation>
    </message>
    <message>
        <source>Рельеф:</source>
        <translation>Topography:</translation>
    </message>
    <message>
        <source>Геометрия профиля</source>
        <translation>Geometry of a profile</translation>
    </message>
    <message>
        <source>Положение электрода с номером n: x = x0 + n · шаг; отрицательные номера A и B лежат левее нуля. Геометрия каналов — допущение о подключении станции: сверьте её с документацией станции. Своя геометрия профиля хранится рядом с файлом данных («файл.zel.survey»).</source>
        <translation>The position of electrode number n: x = x0 + n · spacing; negative numbers of A and B lie left of zero. The channel geometry is an assumption about the station&apos;s wiring: check it against the station&apos;s documentation. A profile&apos;s own geometry is kept beside the data file (&quot;file.zel.survey&quot;).</translation>
    </message>
    <message>
        <source>По умолчанию (все профили)</source>
        <translation>Default (every profile)</translation>
    </message>
    <message>
        <source>нет (ровная линия)</source>
        <translation>none (a flat line)</translation>
    </message>
    <message>
        <source>по номерам электродов</source>
        <translation>by electrode number</translation>
    </message>
    <message>
        <source>по x, м</source>
        <translation>by x, m</translation>
    </message>
    <message>
        <source>x, м</source>
        <translation>x, m</translation>
    </message>
    <message>
        <source>Где линия лежит поперёк площади: параллельные линии — каждая на своём Y</source>
        <translation>Where the line lies across the survey: parallel lines each at their own Y</translation>
    </message>
    <message>
        <source>Y профиля (поперёк площади):</source>
        <translation>The profile&apos;s Y (across the survey):</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n точек, %2</source>
        <translation>
            <numerusform>%1: %n point, %2</numerusform>
            <numerusform>%1: %n points, %2</numerusform>
        </translation>
    </message>
    <message>
        <source>между электродами %1 и %2</source>
        <translation>between electrodes %1 and %2</translation>
    </message>
    <message>
        <source>между x = %1 и %2 м</source>
        <translation>between x = %1 and %2 m</translation>
    </message>
    <message>
        <source>Рельеф круче 45°: %1 перепад %2 м на %3 м. Проверьте высоты в файле рельефа.</source>
        <translation>The ground is steeper than 45°: %1 it drops or rises %2 m over %3 m. Check the heights in the topography file.</translation>
    </message>
</context>
</TS>
