<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>QObject</name>
    <message>
        <source>Station</source>
        <translation>Пикет</translation>
    </message>
    <message>
        <source>U, mV</source>
        <translation>U, мВ</translation>
    </message>
    <message>
        <source>R = U / I, Ohm</source>
        <translation>R = U / I, Ом</translation>
    </message>
    <message numerus="yes">
        <source>The legend names %1 of %n curve(s)</source>
        <translation>
            <numerusform>В легенде %1 из %n кривой</numerusform>
            <numerusform>В легенде %1 из %n кривых</numerusform>
            <numerusform>В легенде %1 из %n кривых</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) not above 0 left out of the logarithmic axis</source>
        <translation>
            <numerusform>%n значение не больше 0 не показано на логарифмической оси</numerusform>
            <numerusform>%n значения не больше 0 не показаны на логарифмической оси</numerusform>
            <numerusform>%n значений не больше 0 не показаны на логарифмической оси</numerusform>
        </translation>
    </message>
    <message>
        <source>x, m</source>
        <translation>x, м</translation>
    </message>
    <message>
        <source>Pseudo-depth, m</source>
        <translation>Псевдоглубина, м</translation>
    </message>
    <message>
        <source>Apparent resistivity, Ohm·m</source>
        <translation>Кажущееся сопротивление, Ом·м</translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) without apparent resistivity left out</source>
        <translation>
            <numerusform>%n значение без кажущегося сопротивления не показано</numerusform>
            <numerusform>%n значения без кажущегося сопротивления не показаны</numerusform>
            <numerusform>%n значений без кажущегося сопротивления не показаны</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n negative value(s) drawn hollow</source>
        <translation>
            <numerusform>%n отрицательное значение показано пустым кружком</numerusform>
            <numerusform>%n отрицательных значения показаны пустыми кружками</numerusform>
            <numerusform>%n отрицательных значений показаны пустыми кружками</numerusform>
        </translation>
    </message>
    <message>
        <source>Line %1, file %2: electrode spacing %3 m, electrode 0 at x = %4 m</source>
        <translation>Линия %1, файл %2: шаг электродов %3 м, электрод 0 при x = %4 м</translation>
    </message>
    <message>
        <source>Nothing to draw: no plain measurement here; measurements with electrode positions are shown by the pseudosection</source>
        <translation>Рисовать нечего: здесь нет обычных измерений; измерения с положениями электродов показывает псевдоразрез</translation>
    </message>
    <message>
        <source>Elevation, m</source>
        <translation>Высота, м</translation>
    </message>
    <message>
        <source>Resistivity, Ohm·m</source>
        <translation>Удельное сопротивление, Ом·м</translation>
    </message>
    <message>
        <source>DOI</source>
        <translation>DOI</translation>
    </message>
    <message>
        <source>depth of sensitivity</source>
        <translation>глубина чувствительности</translation>
    </message>
    <message>
        <source>|R|, Ohm</source>
        <translation>|R|, Ом</translation>
    </message>
    <message>
        <source>|ΔR|, Ohm</source>
        <translation>|ΔR|, Ом</translation>
    </message>
    <message>
        <source>%1: a = %2 Ohm, b = %3 %</source>
        <translation>%1: a = %2 Ом, b = %3 %</translation>
    </message>
    <message>
        <source>Line %1, all its files: electrode spacing %2 m, each file from its own X0</source>
        <translation>Линия %1, все её файлы: шаг электродов %2 м, каждый файл от своего X0</translation>
    </message>
    <message>
        <source>Change of resistivity, %</source>
        <translation>Изменение сопротивления, %</translation>
    </message>
    <message>
        <source>%1 against %2</source>
        <translation>%1 относительно %2</translation>
    </message>
    <message>
        <source>x along the lines, m</source>
        <translation>x вдоль линий, м</translation>
    </message>
    <message>
        <source>y across the lines, m</source>
        <translation>y поперёк линий, м</translation>
    </message>
    <message>
        <source>%1 m below the ground</source>
        <translation>%1 м от поверхности</translation>
    </message>
    <message>
        <source>%1 (left out)</source>
        <translation>%1 (не в плане)</translation>
    </message>
    <message>
        <source>below every line&apos;s depth of sensitivity: the data see nothing here</source>
        <translation>глубже глубинности каждой линии: данные здесь ничего не видят</translation>
    </message>
    <message>
        <source>a picture from %1 to %2 pixels a side is needed</source>
        <translation>нужен рисунок от %1 до %2 пикселей по стороне</translation>
    </message>
    <message>
        <source>a resolution from %1 to %2 dots per inch is needed</source>
        <translation>нужно разрешение от %1 до %2 точек на дюйм</translation>
    </message>
    <message>
        <source>Measured apparent resistivity ρa (Ohm·m) by pseudo-depth (m)</source>
        <translation>Измеренное кажущееся сопротивление ρк (Ом·м) по псевдоглубине (м)</translation>
    </message>
    <message>
        <source>Modelled apparent resistivity ρa (Ohm·m) by pseudo-depth (m)</source>
        <translation>Модельное кажущееся сопротивление ρк (Ом·м) по псевдоглубине (м)</translation>
    </message>
    <message>
        <source>Misfit (model − measured) / measured (%) by pseudo-depth (m)</source>
        <translation>Расхождение (модель − измерение) / измерение (%) по псевдоглубине (м)</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Ohm·m</source>
        <translation>Ом·м</translation>
    </message>
    <message>
        <source>Change of apparent resistivity, later against base (%), by pseudo-depth (m)</source>
        <translation>Изменение кажущегося сопротивления, позднее против базового (%), по псевдоглубине (м)</translation>
    </message>
    <message>
        <source>at %1 dots per inch the sheet needs at least %2 × %3 pixels</source>
        <translation>при %1 точках на дюйм листу нужно не меньше %2 × %3 пикселей</translation>
    </message>
    <message>
        <source>the model does not explain the data: χ² %1 (at most %2 for a fit), RRMS %3 % (at most %4 times the data&apos;s median error of %5 %)</source>
        <translation>модель не объясняет данные: χ² %1 (для согласия не больше %2), RRMS %3 % (не больше %4 медианных погрешностей данных, %5 %)</translation>
    </message>
    <message>
        <source>%1: iteration %2 of %3, RRMS %4 %, χ² %5 (the section is iteration %6, of the lowest χ²)</source>
        <translation>%1: итерация %2 из %3, RRMS %4 %, χ² %5 (разрез — итерация %6, с наименьшим χ²)</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n iteration(s), RRMS %2 %, χ² %3</source>
        <translation>
            <numerusform>%1: %n итерация, RRMS %2 %, χ² %3</numerusform>
            <numerusform>%1: %n итерации, RRMS %2 %, χ² %3</numerusform>
            <numerusform>%1: %n итераций, RRMS %2 %, χ² %3</numerusform>
        </translation>
    </message>
    <message>
        <source> (the model of iteration %1, the lowest χ²)</source>
        <translation> (модель итерации %1, наименьший χ²)</translation>
    </message>
    <message>
        <source>Frequency effect, %</source>
        <translation>Частотный эффект, %</translation>
    </message>
    <message>
        <source>Metal factor</source>
        <translation>Металл-фактор</translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) without a reading at a second frequency left out</source>
        <translation>
            <numerusform>%n значение без измерения на второй частоте не показано</numerusform>
            <numerusform>%n значения без измерения на второй частоте не показаны</numerusform>
            <numerusform>%n значений без измерения на второй частоте не показано</numerusform>
        </translation>
    </message>
    <message>
        <source>AB/2, depth, m</source>
        <translation>AB/2, глубина, м</translation>
    </message>
    <message>
        <source>Measured, MN/2 = %1 m</source>
        <translation>Измерено, MN/2 = %1 м</translation>
    </message>
    <message>
        <source>Layered model&apos;s response</source>
        <translation>Отклик слоистой модели</translation>
    </message>
    <message>
        <source>Smooth model&apos;s response</source>
        <translation>Отклик гладкой модели</translation>
    </message>
    <message>
        <source>Layered model (ρ against depth)</source>
        <translation>Слоистая модель (ρ по глубине)</translation>
    </message>
    <message>
        <source>Smooth model (ρ against depth)</source>
        <translation>Гладкая модель (ρ по глубине)</translation>
    </message>
    <message numerus="yes">
        <source>%1 at %2 m: %n layer(s), RRMS %3 %</source>
        <translation>
            <numerusform>%1 в точке %2 м: %n слой, RRMS %3 %</numerusform>
            <numerusform>%1 в точке %2 м: %n слоя, RRMS %3 %</numerusform>
            <numerusform>%1 в точке %2 м: %n слоёв, RRMS %3 %</numerusform>
        </translation>
    </message>
    <message>
        <source>x along the line, m</source>
        <translation>x вдоль линии, м</translation>
    </message>
    <message>
        <source>Depth, m</source>
        <translation>Глубина, м</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n sounding(s), smooth models; layered boundaries in black</source>
        <translation>
            <numerusform>%1: %n зондирование, гладкие модели; границы слоёв чёрным</numerusform>
            <numerusform>%1: %n зондирования, гладкие модели; границы слоёв чёрным</numerusform>
            <numerusform>%1: %n зондирований, гладкие модели; границы слоёв чёрным</numerusform>
        </translation>
    </message>
    <message>
        <source>Measured, MN = AB/%1</source>
        <translation>Измерено, MN = AB/%1</translation>
    </message>
</context>
</TS>
