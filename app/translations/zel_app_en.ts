<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>TAboutBox</name>
    <message>
        <source>Программа станции
ZEL-TERRAVOX для ПК
Данные: чтение, вывод
Электроды и прошивка
Лицензия: у владельца
Справка: Help, Contents
Документы: share/doc
Командная строка: zeltool</source>
        <translation>Station program
ZEL-TERRAVOX for PC
Data: reading, output
Electrodes and firmware
Licence: with the owner
Help: Help, Contents
Documents: share/doc
Command line: zeltool</translation>
    </message>
    <message>
        <source>Визуализация данных электроразведочной станции ZEL-TERRAVOX</source>
        <translation>Data visualisation for the ZEL-TERRAVOX station</translation>
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
        <source>L%1 F%2: значений %3, отмечено %4 (нулевых %5, слабых %6, отрицательных %7, выбросов %8, с большой погрешностью %9), медиана погрешности %10</source>
        <translation>L%1 F%2: %3 values, %4 flagged (zero %5, low signal %6, negative %7, spike %8, error %9), median error %10</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
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
</context>
<context>
    <name>TForm1</name>
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
    <message>
        <source>Файл прошивки (*.bin)|*.bin</source>
        <translation>Firmware file (*.bin)|*.bin</translation>
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
        <source>Положение электрода с номером n: x = x0 + n · шаг; отрицательные номера A и B лежат левее нуля. Геометрия каналов — допущение о подключении станции: сверьте её с документацией станции.</source>
        <translation>The electrode numbered n stands at x = x0 + n · spacing; negative numbers A and B lie left of zero. The channel geometry is an assumption about how the station is connected: check it against the station&apos;s documentation.</translation>
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
</context>
</TS>
